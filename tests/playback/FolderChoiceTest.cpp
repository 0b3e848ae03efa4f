#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "playback/Errors.h"
#include "playback/FolderChoice.h"
#include "playback/platform/PathStyle.h"
#include "playback/platform/Utf8Path.h"
#include "tests/playback/SongFiles.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using testing::TempFolder;

const std::string kSeparator(1, NativePathStyle().separator);

// Answers the dialog as the experimenter would, and remembers what it was asked.
class ScriptedDialog final : public FileDialog {
 public:
  explicit ScriptedDialog(std::optional<std::string> answer) : answer_(std::move(answer)) {}

  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
    asked_ = request;
    return answer_;
  }

  const std::optional<FileDialogRequest>& asked() const { return asked_; }

 private:
  std::optional<std::string> answer_;
  std::optional<FileDialogRequest> asked_;
};

class FolderChoiceTest : public ::testing::Test {
 protected:
  FileSystemFolderReader reader_;
  FileList list_{reader_};
  TempFolder folder_;
};

TEST_F(FolderChoiceTest, ConfirmingANameInAFolderShowsThatFolder) {
  folder_.Touch("song.wav");
  ScriptedDialog dialog(folder_.Utf8("not relevant"));

  const std::optional<std::string> field = ChooseSongFolder(dialog, list_);

  ASSERT_TRUE(dialog.asked());
  EXPECT_EQ(dialog.asked()->filter_description, "Sound files (*.wav)");
  EXPECT_EQ(dialog.asked()->filter_pattern, "*.WAV");
  EXPECT_EQ(dialog.asked()->initial_name, "not relevant");
  EXPECT_EQ(field, folder_.Utf8() + kSeparator);
  EXPECT_EQ(list_.Directory(), folder_.Utf8());
  EXPECT_THAT(list_.Entries(), ElementsAre("song.wav"));
}

TEST_F(FolderChoiceTest, TheRootShowsItsSeparatorTwice) {
  const std::string root = Utf8FromPath(folder_.path().root_path());  // "/", or a drive's "C:\"
  ScriptedDialog dialog(root + "not relevant");
  EXPECT_EQ(ChooseSongFolder(dialog, list_), root + kSeparator);
  EXPECT_EQ(list_.Directory(), root);
}

TEST_F(FolderChoiceTest, CancelAndFailureChangeNothing) {
  folder_.Touch("song.wav");
  list_.ApplyFilePath(folder_.Utf8());
  list_.Select(0);

  ScriptedDialog cancelled(std::nullopt);
  EXPECT_EQ(ChooseSongFolder(cancelled, list_), std::nullopt);
  ASSERT_TRUE(cancelled.asked());
  EXPECT_EQ(cancelled.asked()->initial_folder, folder_.Utf8()) << "opens in the list's folder";

  ScriptedDialog missing(folder_.Utf8("gone/not relevant"));
  EXPECT_THROW(ChooseSongFolder(missing, list_), EInOutError);

  EXPECT_EQ(list_.Directory(), folder_.Utf8());
  EXPECT_EQ(list_.Selection(), 0u);
}

}  // namespace
}  // namespace orvane
