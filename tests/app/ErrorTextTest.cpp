#include "app/ErrorText.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orvane {
namespace {

template <typename Throw>
std::exception_ptr Capture(Throw&& doThrow) {
  try {
    doThrow();
  } catch (...) {
    return std::current_exception();
  }
  return {};
}

TEST(ErrorText, EndsASentenceWithAPeriodOnlyAfterCharactersBeyondThePeriod) {
  for (const char* text :
       {"Folder not found", "Error 7", "c:/kro/", "Device:", "Really?", "c:\\kro\\", "Fehler ü"}) {
    EXPECT_EQ(WithFinalPeriod(QString::fromUtf8(text)), QString::fromUtf8(text) + u'.') << text;
  }
  for (const char* text : {"Done.", "Stop!", "(none)", "a,", "a-", "trailing space ", ""}) {
    EXPECT_EQ(WithFinalPeriod(QString::fromUtf8(text)), QString::fromUtf8(text)) << text;
  }
}

TEST(ErrorText, CaptionIsTheExecutablesNameWithAllButItsFirstCharacterInLowerCase) {
  EXPECT_EQ(ErrorBoxCaption(QStringLiteral("C:\\x\\ORVANE.EXE")), QStringLiteral("Orvane"));
  EXPECT_EQ(ErrorBoxCaption(QStringLiteral("/usr/bin/orvane")), QStringLiteral("orvane"))
      << "the first character stays as it is";
  EXPECT_EQ(ErrorBoxCaption(QStringLiteral("OrVaNe.exe")), QStringLiteral("Orvane"));
  EXPECT_EQ(ErrorBoxCaption(QStringLiteral("D:\\Lab Tools\\My.Tool.exe")),
            QStringLiteral("My.tool"))
      << "only the last extension goes";
  EXPECT_EQ(ErrorBoxCaption(QStringLiteral("/opt/x.d/ORVANE2")), QStringLiteral("Orvane2"))
      << "a dot in a folder's name is no extension";
}

TEST(ErrorText, ShowsTheInnermostMessageOfANestedChainThatHasOne) {
  const auto chain = Capture([] {
    try {
      try {
        throw std::runtime_error("Folder c:\\kro\\ not found");
      } catch (...) {
        std::throw_with_nested(std::runtime_error("Could not list the songs"));
      }
    } catch (...) {
      std::throw_with_nested(std::logic_error("Start-up failed"));
    }
  });
  EXPECT_EQ(ExceptionMessage(chain), QStringLiteral("Folder c:\\kro\\ not found"));
  EXPECT_EQ(ErrorBoxText(chain), QStringLiteral("Folder c:\\kro\\ not found."));

  const auto emptyInner = Capture([] {
    try {
      throw std::runtime_error("");
    } catch (...) {
      std::throw_with_nested(std::runtime_error("The player failed"));
    }
  });
  EXPECT_EQ(ErrorBoxText(emptyInner), QStringLiteral("The player failed."));

  const auto foreignInner = Capture([] {
    try {
      throw 42;
    } catch (...) {
      std::throw_with_nested(std::runtime_error("Clipboard unavailable"));
    }
  });
  EXPECT_EQ(ErrorBoxText(foreignInner), QStringLiteral("Clipboard unavailable."));

  EXPECT_EQ(ErrorBoxText(Capture([] { throw std::runtime_error("Stop!"); })),
            QStringLiteral("Stop!"));
}

TEST(ErrorText, AnythingButAStdExceptionHasAnEmptyText) {
  EXPECT_EQ(ErrorBoxText(Capture([] { throw 42; })), QString());
  EXPECT_EQ(ErrorBoxText(Capture([] { throw QStringLiteral("not an exception"); })), QString());
  EXPECT_EQ(ErrorBoxText(std::exception_ptr()), QString());
}

}  // namespace
}  // namespace orvane
