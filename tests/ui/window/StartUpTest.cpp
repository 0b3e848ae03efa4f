#include <QApplication>
#include <QTimer>
#include <QtTest/QTest>

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "playback/platform/DefaultSongFolder.h"
#include "tests/ui/window/WindowRig.h"
#include "ui/window/StartErrorBox.h"
#include "ui_MainWindow.h"

#if !defined(_WIN32)
#include <pwd.h>
#include <unistd.h>
#endif

namespace orvane {
namespace {

using testing::WindowRig;

TEST(StartUp, AMissingDefaultFolderIsShownOnceAndTheWindowStillComesUp) {
  WindowRig rig;
  TForm1& window = rig.Open(rig.songs.Utf8("missing") + "/");
  EXPECT_EQ(rig.exceptions, QStringList{"The specified file was not found."});

  Ui::TForm1& form = rig.form();
  EXPECT_EQ(form.bad_song_list->count(), 0);
  EXPECT_EQ(form.good_song_list->count(), 0);
  const ReportTable& table = form.report->table();
  EXPECT_EQ(table.GetColName(1), "Time");
  EXPECT_EQ(table.GetColName(2), "Song");
  EXPECT_EQ(table.GetColName(3), "Escaped");
  EXPECT_EQ(window.Log().next_row(), 1);
  EXPECT_EQ(rig.DriverCalls("DAQmxStartTask").size(), 2u) << "both tasks opened";

  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::mouseClick(form.Start, Qt::LeftButton);
  EXPECT_EQ(rig.messages, QStringList{"You must select songs before starting"});
}

TEST(StartUp, TheFolderFieldsShowTheDefaultFolderTheListsWereGiven) {
  WindowRig rig;
  rig.Open();
  Ui::TForm1& form = rig.form();
  const QString folder = QString::fromStdString(rig.songs.Utf8() + "/");
  EXPECT_EQ(form.playbacks_folder0->text(), folder);
  EXPECT_EQ(form.playbacks_folder1->text(), folder);
  EXPECT_EQ(form.bad_song_list->count(), 2);
  EXPECT_EQ(std::filesystem::path(form.bad_song_list->Directory()), rig.songs.path());
  EXPECT_EQ(std::filesystem::path(form.good_song_list->Directory()), rig.songs.path());
}

TEST(StartUp, TheDefaultSongFolderIsKroInTheHomeFolder) {
#if defined(_WIN32)
  EXPECT_EQ(DefaultSongFolder(), "c:\\kro\\");
#else
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  std::string home = user->pw_dir;
  if (!home.ends_with('/')) {
    home += '/';
  }
  EXPECT_EQ(DefaultSongFolder(), home + "kro/");
#endif
}

TEST(StartUp, TheBoxOfARefusedStartHasItsOwnCornerFrameIncludedAt100By100) {
  QRect frame;
  QRect contents;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    QTest::qWait(0);
    frame = box->frameGeometry();
    contents = box->geometry();
    box->close();
  });
  ShowStartErrorBox(QStringLiteral("You must select songs before starting"));
  EXPECT_EQ(frame.topLeft(), QPoint(100, 100));
  EXPECT_NE(contents.topLeft(), frame.topLeft()) << "the box has a frame here";
}

}  // namespace
}  // namespace orvane
