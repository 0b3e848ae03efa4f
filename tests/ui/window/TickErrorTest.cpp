#include <QCoreApplication>
#include <QtTest/QTest>

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/OrvaneApplication.h"
#include "tests/playback/PlayerRig.h"
#include "tests/ui/window/WindowRig.h"
#include "ui/NumLab.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

using testing::LowOn;
using testing::WindowRig;

// Errors that leave a handler reach the application's error box, as in the program.
class TickErrorTest : public ::testing::Test {
 protected:
  TickErrorTest() {
    app_->SetErrorBox([this](const QString& caption, const QString& text) {
      captions_ << caption;
      shown_ << text;
    });
  }
  ~TickErrorTest() override {
    app_->SetErrorBox([](const QString&, const QString& text) {
      ADD_FAILURE() << "unexpected error box: " << text.toStdString();
    });
  }

  OrvaneApplication* app_ = qobject_cast<OrvaneApplication*>(QCoreApplication::instance());
  WindowRig rig_{{"alarm.wav", "calm.wav"}};
  QStringList captions_;
  QStringList shown_;
};

// An error raised inside a tick is shown once the tick is over: Timer1 ticks on, reading the
// perch, for as long as the box stays open, and each error gets one box, never one on another.
TEST_F(TickErrorTest, APlayThatFailsInATickIsShownAfterItWhileTheTicksGoOn) {
  ASSERT_NE(app_, nullptr);
  rig_.songs.Touch("broken.wav", "not a sound file");
  TForm1& window = rig_.Open();
  Ui::TForm1& form = rig_.form();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  rig_.ClickSong(*form.bad_song_list, "broken.wav");
  ASSERT_EQ(shown_.size(), 1) << "the failed open is shown";
  EXPECT_FALSE(shown_[0].isEmpty());
  EXPECT_TRUE(shown_[0].endsWith('.'));
  EXPECT_EQ(captions_[0], app_->ErrorCaption());
  EXPECT_TRUE(form.play_bad->isEnabled()) << "a broken player still counts as picked";
  rig_.ClickSong(*form.good_song_list, "calm.wav");
  WindowRig::PickItem(*form.precent_bad, 0);  // every trial plays the bad song
  form.feedback_delay1->setValue(form.feedback_delay1->maximum());  // a trial at every draw
  rig_.device.ScriptRead(LowOn({7}));

  const auto reads = [&] { return rig_.DriverCalls("DAQmxReadDigitalLines").size(); };
  std::size_t reads_while_open = 0;
  int open = 0;
  int most_open = 0;
  rig_.while_box_open = [&] {
    most_open = std::max(most_open, ++open);
    if (rig_.exceptions.size() == 1) {
      // The experimenter leaves the first box open for three seconds, then stops.
      const std::size_t before = reads();
      QTest::qWait(3000);
      reads_while_open = reads() - before;
      window.StopClick();
    }
    --open;
  };
  QTest::mouseClick(form.Start, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Timer1().IsEnabled(); }, 60000));
  QCoreApplication::processEvents();

  EXPECT_GE(reads_while_open, 10u) << "the ticks stopped while the box was open";
  EXPECT_EQ(most_open, 1);
  ASSERT_FALSE(rig_.exceptions.isEmpty());
  for (const QString& text : rig_.exceptions) {
    EXPECT_EQ(text, "No MCI device open.");
  }
  EXPECT_EQ(shown_.size(), 1) << "an error of the tick reached the box inside it";
  EXPECT_EQ(rig_.DecidedTrials(), 0);
  EXPECT_FALSE(window.Controller().state().bad_playing);
}

TEST_F(TickErrorTest, APressOnABrokenPlayersBarIsShownInTheApplicationsBox) {
  rig_.songs.Touch("broken.wav", "not a sound file");
  TForm1& window = rig_.Open();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Ui::TForm1& form = rig_.form();
  rig_.ClickSong(*form.bad_song_list, "broken.wav");
  QTest::mouseClick(form.play_bad, Qt::LeftButton, {},
                    form.play_bad->ButtonRect(TMediaPlayer::Button::kPlay).center());
  QStringList all = shown_ + rig_.exceptions;
  ASSERT_EQ(all.size(), 2);
  EXPECT_EQ(all[1], "No MCI device open.");
}

TEST_F(TickErrorTest, AThrownObjectThatIsNoExceptionLeavesTheBoxEmpty) {
  TForm1& window = rig_.Open();
  QMetaObject::invokeMethod(
      &window, [] { throw 42; }, Qt::QueuedConnection);
  QCoreApplication::processEvents();
  EXPECT_EQ(shown_, QStringList{QString()});
}

}  // namespace
}  // namespace orvane
