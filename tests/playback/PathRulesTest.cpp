#include <gtest/gtest.h>

#include <cerrno>
#include <string>

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

TEST(IoErrorText, EachReasonHasItsMessage) {
#if !defined(_WIN32)
  EXPECT_EQ(IoErrorMessage(ClassifySystemError(ENOENT)), "The specified file was not found");
  EXPECT_EQ(IoErrorMessage(ClassifySystemError(ENOTDIR)), "The specified file was not found");
  EXPECT_EQ(IoErrorMessage(ClassifySystemError(EACCES)), "File access denied");
  EXPECT_EQ(IoErrorMessage(ClassifySystemError(EIO)), "I/O error " + std::to_string(EIO));
#else
  EXPECT_EQ(IoErrorMessage(ClassifySystemError(2)), "The specified file was not found");
  EXPECT_EQ(IoErrorMessage(ClassifySystemError(5)), "File access denied");
  EXPECT_EQ(IoErrorMessage(ClassifySystemError(21)), "I/O error 21");
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
