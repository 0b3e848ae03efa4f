#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "playback/MediaPlayer.h"
#include "playback/platform/PathStyle.h"
#include "playback/view/FileListBox.h"
#include "playback/view/MediaPlayerBar.h"
#include "playback/view/QtFileDialog.h"
#include "tests/playback/SongFiles.h"

namespace orvane {
namespace {

using testing::TempFolder;

class ChosenFile final : public FileDialog {
 public:
  explicit ChosenFile(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return path_; }

 private:
  std::string path_;
};

TEST(FileListBox, ShowsTheFolderAndReportsTheExperimentersPicks) {
  TempFolder folder;
  folder.Touch("b.wav");
  folder.Touch("A.WAV");
  folder.Touch("c.txt");
  TFileListBox box;
  box.resize(213, 110);
  QSignalSpy picks(&box, &TFileListBox::selectionChangedByUser);

  box.ApplyFilePath(folder.Utf8());
  ASSERT_EQ(box.count(), 2);
  EXPECT_EQ(box.item(0)->text(), "A.WAV");
  EXPECT_EQ(box.item(1)->text(), "b.wav");
  EXPECT_TRUE(box.item(0)->icon().isNull());
  EXPECT_EQ(box.sizeHintForRow(0), 13);
  EXPECT_EQ(box.font().pixelSize(), 11);
  EXPECT_EQ(box.palette().color(QPalette::Text), QColor(Qt::blue));
  EXPECT_EQ(picks.count(), 0);

  QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, box.visualItemRect(box.item(1)).center());
  EXPECT_EQ(picks.count(), 1);
  EXPECT_EQ(box.FileName(), folder.Utf8("b.wav"));

  box.setFocus();
  QTest::keyClick(&box, Qt::Key_Up);
  EXPECT_EQ(picks.count(), 2);
  EXPECT_EQ(box.FileName(), folder.Utf8("A.WAV"));

  // A re-read drops the selection without it counting as a pick.
  std::filesystem::create_directory(folder.path() / "sub");
  box.ApplyFilePath(folder.Utf8("sub"));
  ChosenFile chosen(folder.Utf8("not relevant"));
  EXPECT_EQ(box.ChooseFolder(chosen), folder.Utf8() + NativePathStyle().separator);
  EXPECT_EQ(picks.count(), 2);
  EXPECT_EQ(box.count(), 2);
  EXPECT_EQ(box.FileName(), "");
  EXPECT_TRUE(box.selectedItems().isEmpty());

  box.SetColour(colours::kYellow);
  EXPECT_EQ(box.palette().color(QPalette::Base), QColor(255, 255, 0));
}

TEST(QtFileDialog, OffersWavFilesAndAcceptsANameThatDoesNotExist) {
  TempFolder folder;
  folder.Touch("LOUD.WAV");
  folder.Touch("notes.txt");
  QWidget window;
  QtFileDialog dialog(&window);
  QString filter;
  QStringList shown;
  bool native = true;
  QString opened_in;
  QTimer::singleShot(0, [&] {
    auto* open = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (open == nullptr) {
      ADD_FAILURE() << "no dialog came up";
      return;
    }
    native = !open->testOption(QFileDialog::DontUseNativeDialog);
    filter = open->selectedNameFilter();
    opened_in = QDir::toNativeSeparators(open->directory().absolutePath());
    // The dialog lists the folder in the background; wait for its view, however slow.
    const auto* view = open->findChild<QListView*>("listView");
    EXPECT_NE(view, nullptr);
    EXPECT_TRUE(
        view != nullptr &&
        QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }, 30000));
    for (int row = 0; view != nullptr && row < view->model()->rowCount(view->rootIndex()); ++row) {
      shown << view->model()->index(row, 0, view->rootIndex()).data().toString();
    }
    open->selectFile("not relevant");
    static_cast<QDialog*>(open)->accept();
  });
  const std::optional<std::string> chosen =
      dialog.ChooseFile({"Sound files (*.wav)", "*.WAV", "not relevant", folder.Utf8()});
  EXPECT_FALSE(native);
  EXPECT_EQ(opened_in, QString::fromStdString(folder.Utf8())) << "opens in the list's folder";
  EXPECT_EQ(filter, "Sound files (*.wav)");
  EXPECT_EQ(shown, QStringList{"LOUD.WAV"});
  EXPECT_EQ(chosen, folder.Utf8("not relevant"));
}

// Counts the bar's requests instead of sounding anything.
class CountingService final : public SoundService {
 public:
  class Device final : public SoundDevice {
   public:
    explicit Device(CountingService& owner) : owner_(owner) {}
    std::int64_t Position() const override { return 0; }
    std::int64_t Length() const override { return 1; }
    bool Sounding() const override { return false; }
    int SeekToStart() override { return 0; }
    int Play() override { return ++owner_.plays, 0; }
    int Stop() override { return ++owner_.stops, 0; }

   private:
    CountingService& owner_;
  };

  OpenedSong Open(const std::string&) override { return {0, std::make_unique<Device>(*this)}; }
  std::optional<std::string> ErrorText(int) const override { return std::nullopt; }

  int plays = 0;
  int stops = 0;
};

class MediaPlayerBarTest : public ::testing::Test {
 protected:
  MediaPlayerBarTest() {
    bar_.resize(57, 30);
    bar_.Attach(&player_);
    player_.Open();
  }

  QPoint Centre(TMediaPlayer::Button button) const { return bar_.ButtonRect(button).center(); }

  CountingService service_;
  MediaPlayer player_{service_};
  TMediaPlayer bar_;
};

TEST_F(MediaPlayerBarTest, IsInertUntilThePlayerIsEnabled) {
  EXPECT_FALSE(bar_.isEnabled());
  QTest::mouseClick(&bar_, Qt::LeftButton, {}, Centre(TMediaPlayer::Button::kPlay));
  QTest::keyClick(&bar_, Qt::Key_Space);
  EXPECT_EQ(service_.plays, 0);

  player_.SetEnabled(true);
  EXPECT_TRUE(bar_.isEnabled());
  EXPECT_EQ(bar_.ButtonRect(TMediaPlayer::Button::kPlay).width(),
            bar_.ButtonRect(TMediaPlayer::Button::kStop).width());
  QTest::mouseClick(&bar_, Qt::LeftButton, {}, Centre(TMediaPlayer::Button::kPlay));
  QTest::mouseClick(&bar_, Qt::LeftButton, {}, Centre(TMediaPlayer::Button::kStop));
  EXPECT_EQ(service_.plays, 1);
  EXPECT_EQ(service_.stops, 1);
}

TEST_F(MediaPlayerBarTest, APressCountsOnlyWhenReleasedOverTheSameButton) {
  player_.SetEnabled(true);
  QTest::mousePress(&bar_, Qt::LeftButton, {}, Centre(TMediaPlayer::Button::kPlay));
  QTest::mouseRelease(&bar_, Qt::LeftButton, {}, Centre(TMediaPlayer::Button::kStop));
  QTest::mousePress(&bar_, Qt::LeftButton, {}, Centre(TMediaPlayer::Button::kStop));
  QTest::mouseRelease(&bar_, Qt::LeftButton, {}, QPoint(200, 200));
  EXPECT_EQ(service_.plays, 0);
  EXPECT_EQ(service_.stops, 0);
}

TEST_F(MediaPlayerBarTest, TheKeyboardMovesBetweenTheButtonsAndPressesThem) {
  player_.SetEnabled(true);
  EXPECT_EQ(bar_.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
  QTest::keyClick(&bar_, Qt::Key_Space);
  EXPECT_EQ(service_.plays, 1);
  QTest::keyClick(&bar_, Qt::Key_Right);
  EXPECT_EQ(bar_.FocusedButton(), TMediaPlayer::Button::kStop);
  QTest::keyClick(&bar_, Qt::Key_Space);
  EXPECT_EQ(service_.stops, 1);
  QTest::keyClick(&bar_, Qt::Key_Left);
  EXPECT_EQ(bar_.FocusedButton(), TMediaPlayer::Button::kPlay);
}

TEST_F(MediaPlayerBarTest, AFailedPressIsReportedToTheWindow) {
  player_.SetEnabled(true);
  player_.Close();
  QSignalSpy errors(&bar_, &TMediaPlayer::playerError);
  QTest::keyClick(&bar_, Qt::Key_Space);
  ASSERT_EQ(errors.count(), 1);
  EXPECT_EQ(errors.front().front().toString(), "No MCI device open");
}

}  // namespace
}  // namespace orvane
