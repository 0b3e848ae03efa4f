#include "app/OrvaneApplication.h"

#include <gtest/gtest.h>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <stdexcept>
#include <vector>

#include "app/ErrorText.h"

namespace orvane {
namespace {

struct ShownError {
  QString caption;
  QString text;
};

class OrvaneApplicationTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(app_, nullptr);
    app_->SetErrorBox([this](const QString& caption, const QString& text) {
      shown_.push_back({caption, text});
    });
  }
  void TearDown() override {
    app_->SetErrorBox([](const QString&, const QString& text) {
      ADD_FAILURE() << "error box outside a test: " << text.toStdString();
    });
  }

  // Runs the event loop until `done` holds; bounded by rounds, not by time.
  template <typename Done>
  void ProcessEventsUntil(Done done) {
    for (int round = 0; round < 1000 && !done(); ++round) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  }

  OrvaneApplication* app_ = qobject_cast<OrvaneApplication*>(QCoreApplication::instance());
  std::vector<ShownError> shown_;
};

TEST_F(OrvaneApplicationTest, CaptionsItsErrorsWithTheExecutablesName) {
  EXPECT_EQ(app_->ErrorCaption(), ErrorBoxCaption(QCoreApplication::applicationFilePath()));
  EXPECT_EQ(app_->ErrorCaption(), QStringLiteral("app_shell_tests"));
}

TEST_F(OrvaneApplicationTest, ATimerTickThatThrowsIsShownAndTheTicksGoOn) {
  int ticks = 0;
  QTimer timer;
  timer.setInterval(0);
  QObject::connect(&timer, &QTimer::timeout, [&ticks] {
    if (++ticks == 1) {
      throw std::runtime_error("The song could not be played");
    }
  });
  timer.start();
  ProcessEventsUntil([&ticks] { return ticks >= 3; });
  timer.stop();

  EXPECT_GE(ticks, 3) << "the timer kept ticking after the exception";
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].caption, app_->ErrorCaption());
  EXPECT_EQ(shown_[0].text, QStringLiteral("The song could not be played."));
}

TEST_F(OrvaneApplicationTest, AClickThatThrowsIsShownEachTimeAndTheButtonStaysUsable) {
  QPushButton button(QStringLiteral("Copy"));
  button.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&clicks] {
    ++clicks;
    if (clicks == 1) {
      try {
        throw std::runtime_error("Cannot open clipboard");
      } catch (...) {
        std::throw_with_nested(std::runtime_error("Copy failed"));
      }
    }
    if (clicks == 2) {
      throw 42;
    }
  });

  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::mouseClick(&button, Qt::LeftButton);

  EXPECT_EQ(clicks, 3);
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[0].text, QStringLiteral("Cannot open clipboard."));
  EXPECT_EQ(shown_[1].text, QString()) << "a thrown object that is no exception has no text";
  EXPECT_FALSE(button.isDown()) << "the release still reached the button";
}

TEST_F(OrvaneApplicationTest, ShowsAStartUpExceptionHandedToIt) {
  try {
    throw std::runtime_error("Folder c:\\kro\\ not found");
  } catch (...) {
    app_->ShowException(std::current_exception());
  }
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, QStringLiteral("Folder c:\\kro\\ not found."));
}

}  // namespace
}  // namespace orvane
