#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "playback/platform/DefaultSongFolder.h"
#include "playback/platform/IoErrorText.h"
#include "playback/platform/PathStyle.h"

namespace orvane {
namespace {

TEST(PathRules, FolderPartOfAChosenFile) {
  EXPECT_EQ(FolderPart("c:\\songs\\not relevant", kWindowsPaths), "c:\\songs");
  EXPECT_EQ(FolderPart("c:\\not relevant", kWindowsPaths), "c:\\");
  EXPECT_EQ(FolderPart("d:song.wav", kWindowsPaths), "d:");
  EXPECT_EQ(FolderPart("c:/songs/a.wav", kWindowsPaths), "c:/songs");
  EXPECT_EQ(FolderPart("/home/lab/kro/not relevant", kPosixPaths), "/home/lab/kro");
  EXPECT_EQ(FolderPart("/not relevant", kPosixPaths), "/");
  // A backslash is an ordinary letter of a POSIX name.
  EXPECT_EQ(FolderPart("/kro/a\\b.wav", kPosixPaths), "/kro");
  EXPECT_EQ(FolderPart("no folder", kPosixPaths), "");
}

TEST(PathRules, TrailingSeparatorsAndRoots) {
  EXPECT_EQ(WithoutTrailingSeparator("c:\\kro\\", kWindowsPaths), "c:\\kro");
  EXPECT_EQ(WithoutTrailingSeparator("c:\\", kWindowsPaths), "c:\\");
  EXPECT_EQ(WithoutTrailingSeparator("/home/kro/", kPosixPaths), "/home/kro");
  EXPECT_EQ(WithoutTrailingSeparator("/", kPosixPaths), "/");
  EXPECT_EQ(JoinPath("c:\\", "a.wav", kWindowsPaths), "c:\\a.wav");
  EXPECT_EQ(JoinPath("c:\\kro", "a.wav", kWindowsPaths), "c:\\kro\\a.wav");
  EXPECT_EQ(JoinPath("/", "a.wav", kPosixPaths), "/a.wav");
  EXPECT_EQ(JoinPath("/kro", "a.wav", kPosixPaths), "/kro/a.wav");
}

TEST(PathRules, SameFolderIgnoresCaseOnlyWhereTheFileSystemDoes) {
  EXPECT_TRUE(SameFolder("C:\\KRO", "c:\\kro", kWindowsPaths));
  EXPECT_FALSE(SameFolder("/home/KRO", "/home/kro", kPosixPaths));
  EXPECT_TRUE(SameFolder("/home/kro", "/home/kro", kPosixPaths));
}

TEST(IoErrorText, EachReasonHasItsMessageWhicheverNumberingTheErrorComesIn) {
  const auto message = [](const std::error_code& code) {
    return IoErrorMessage(ClassifySystemError(code));
  };
  // POSIX numbers, as some standard libraries report every file system error, Windows included.
  EXPECT_EQ(message(std::make_error_code(std::errc::no_such_file_or_directory)),
            "The specified file was not found");
  EXPECT_EQ(message(std::make_error_code(std::errc::not_a_directory)),
            "The specified file was not found");
  EXPECT_EQ(message(std::make_error_code(std::errc::permission_denied)), "File access denied");
  EXPECT_EQ(message(std::make_error_code(std::errc::io_error)), "I/O error " + std::to_string(EIO));
  // The system's own numbers.
#if defined(_WIN32)
  EXPECT_EQ(message({2, std::system_category()}), "The specified file was not found");
  EXPECT_EQ(message({267, std::system_category()}), "The specified file was not found");
  EXPECT_EQ(message({5, std::system_category()}), "File access denied");
  EXPECT_EQ(message({21, std::system_category()}), "I/O error 21");
#else
  EXPECT_EQ(message({EACCES, std::system_category()}), "File access denied");
  EXPECT_EQ(message({EIO, std::system_category()}), "I/O error " + std::to_string(EIO));
#endif
}

TEST(DefaultSongFolder, IsKroInTheHomeFolder) {
#if defined(_WIN32)
  EXPECT_EQ(DefaultSongFolder(), "c:\\kro\\");
#else
  const std::string folder = DefaultSongFolder();
  ASSERT_GT(folder.size(), 5u);
  EXPECT_EQ(folder.front(), '/');
  ASSERT_EQ(folder.substr(folder.size() - 5), "/kro/");
  EXPECT_EQ(folder.find("//"), std::string::npos) << folder;
#endif
}

}  // namespace
}  // namespace orvane
