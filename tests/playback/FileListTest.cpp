#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "playback/Errors.h"
#include "playback/FileList.h"
#include "playback/platform/Utf8Path.h"
#include "tests/playback/SongFiles.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace orvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempFolder;

namespace fs = std::filesystem;

class FileListTest : public ::testing::Test {
 protected:
  FileSystemFolderReader reader_;
  FileList list_{reader_};
  TempFolder folder_;
};

TEST_F(FileListTest, ListsOrdinaryWavFilesByNameIgnoringCase) {
  folder_.Touch("b song.wav");
  folder_.Touch("A.WAV");
  folder_.Touch("c.Wav");
  folder_.Touch("\xC3\xA9t\xC3\xA9.wav");  // "été"
  folder_.Touch("\xC3\x89z.wav");          // "Éz": case folds beyond A to Z
  folder_.Touch(
      "\xC3\xA9"
      "a.wav");                           // "éa"
  folder_.Touch("\xCF\x82\xCE\xB2.wav");  // "ςβ": a final sigma folds to "σ", so after "σα"
  folder_.Touch("\xCF\x83\xCE\xB1.wav");  // "σα"
  folder_.Touch("notes.txt");
  folder_.Touch("song.wav.bak");
  folder_.Touch(".dotted.wav");
  fs::create_directory(folder_.path() / "folder.wav");
  fs::permissions(folder_.path() / "c.Wav", fs::perms::owner_read);  // read-only stays
  std::vector<std::string> listed = {"A.WAV",
                                     "b song.wav",
                                     "c.Wav",
                                     "\xC3\xA9"
                                     "a.wav",
                                     "\xC3\xA9t\xC3\xA9.wav",
                                     "\xC3\x89z.wav",
                                     "\xCF\x83\xCE\xB1.wav",
                                     "\xCF\x82\xCE\xB2.wav"};
#if defined(_WIN32)
  // Hidden and system files are left out by their attributes; a leading dot means nothing here.
  folder_.Touch("hidden.wav");
  folder_.Touch("system.wav");
  ASSERT_TRUE(SetFileAttributesW((folder_.path() / "hidden.wav").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW((folder_.path() / "system.wav").c_str(), FILE_ATTRIBUTE_SYSTEM));
  listed.insert(listed.begin(), ".dotted.wav");
#endif

  list_.ApplyFilePath(folder_.Utf8());

  EXPECT_EQ(list_.Directory(), folder_.Utf8());
  EXPECT_EQ(list_.Mask(), "*.wav");
  EXPECT_EQ(list_.Entries(), listed);
  EXPECT_EQ(list_.Selection(), std::nullopt);
  EXPECT_EQ(list_.FileName(), "");

  list_.Select(static_cast<std::size_t>(std::find(listed.begin(), listed.end(), "b song.wav") -
                                        listed.begin()));
  EXPECT_EQ(list_.FileName(), folder_.Utf8("b song.wav"));
  list_.Select(99);
  EXPECT_EQ(list_.FileName(), "");
}

TEST_F(FileListTest, TheSameFolderIsNotReadAgainButAnotherOneIs) {
  folder_.Touch("one.wav");
  list_.ApplyFilePath(folder_.Utf8() + "/");
  EXPECT_EQ(list_.Directory(), folder_.Utf8());  // no trailing separator kept
  list_.Select(0);

  folder_.Touch("two.wav");
  list_.ApplyFilePath(folder_.Utf8());
  list_.ApplyFilePath(folder_.Utf8() + "/");
  EXPECT_THAT(list_.Entries(), ElementsAre("one.wav"));
  EXPECT_EQ(list_.Selection(), 0u);

  list_.ApplyFilePath("");
  EXPECT_EQ(list_.Directory(), folder_.Utf8());
  EXPECT_EQ(list_.Selection(), 0u);

  const fs::path other = folder_.path() / "Other";
  fs::create_directory(other);
  list_.ApplyFilePath(Utf8FromPath(other));
  EXPECT_THAT(list_.Entries(), IsEmpty());  // a folder without songs lists nothing
  EXPECT_EQ(list_.Selection(), std::nullopt);

  // Back to the first folder: a re-read, which shows the new file and drops the selection.
  list_.ApplyFilePath(folder_.Utf8());
  EXPECT_THAT(list_.Entries(), ElementsAre("one.wav", "two.wav"));
  EXPECT_EQ(list_.Selection(), std::nullopt);
}

TEST_F(FileListTest, AFolderNamedInOtherLettersIsTheSameFolderOnlyOnWindows) {
  fs::create_directory(folder_.path() / "kro");
  folder_.Touch("kro/first.wav");
#if defined(_WIN32)
  list_.ApplyFilePath(folder_.Utf8("kro"));
  list_.Select(0);
  folder_.Touch("kro/second.wav");
  list_.ApplyFilePath(folder_.Utf8("KRO"));
  EXPECT_THAT(list_.Entries(), ElementsAre("first.wav")) << "not read again";
  EXPECT_EQ(list_.Selection(), 0u);
#else
  fs::create_directory(folder_.path() / "KRO");
  folder_.Touch("KRO/loud.wav");
  list_.ApplyFilePath(folder_.Utf8("kro"));
  list_.ApplyFilePath(folder_.Utf8("KRO"));
  EXPECT_EQ(list_.Directory(), folder_.Utf8("KRO"));
  EXPECT_THAT(list_.Entries(), ElementsAre("loud.wav"));
#endif
}

TEST_F(FileListTest, AFolderThatCannotBeEnteredLeavesTheListAsItWas) {
  folder_.Touch("kept.wav");
  list_.ApplyFilePath(folder_.Utf8());
  list_.Select(0);

  const auto expect_unchanged = [&] {
    EXPECT_EQ(list_.Directory(), folder_.Utf8());
    EXPECT_THAT(list_.Entries(), ElementsAre("kept.wav"));
    EXPECT_EQ(list_.Selection(), 0u);
  };
  const auto expect_error = [&](const std::string& path, const std::string& message) {
    try {
      list_.ApplyFilePath(path);
      ADD_FAILURE() << path << " was entered";
    } catch (const EInOutError& error) {
      EXPECT_EQ(std::string(error.what()), message) << path;
    }
    expect_unchanged();
  };

  expect_error(folder_.Utf8("missing"), "The specified file was not found");
  expect_error(folder_.Utf8("missing/deeper"), "The specified file was not found");
  expect_error(folder_.Utf8("kept.wav"), "The specified file was not found");
}

TEST_F(FileListTest, AnUnreadableFolderIsRefused) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows guards folders with access lists, not mode bits, and Wine enforces "
                  "none; the error text is checked in IoErrorText";
#else
  if (geteuid() == 0) {
    GTEST_SKIP() << "root reads every folder; the error text is checked in IoErrorText";
  }
  const fs::path locked = folder_.path() / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::none);
  EXPECT_THROW(
      {
        try {
          list_.ApplyFilePath(Utf8FromPath(locked));
        } catch (const EInOutError& error) {
          EXPECT_STREQ(error.what(), "File access denied");
          throw;
        }
      },
      EInOutError);
  EXPECT_EQ(list_.Directory(), "");
  fs::permissions(locked, fs::perms::owner_all);
#endif
}

TEST(FileMask, MatchesTheExtensionInAnyCase) {
  EXPECT_TRUE(MatchesMask("a.wav", "*.wav"));
  EXPECT_TRUE(MatchesMask("A.WAV", "*.wav"));
  EXPECT_FALSE(MatchesMask("a.wave", "*.wav"));
  EXPECT_FALSE(MatchesMask("wav", "*.wav"));
  EXPECT_TRUE(MatchesMask(".wav", "*.wav"));
}

}  // namespace
}  // namespace orvane
