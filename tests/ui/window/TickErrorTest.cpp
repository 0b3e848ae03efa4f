#include <QCoreApplication>
#include <QtTest/QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/OrvaneApplication.h"
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

  // A tick delivered by the event loop, as the timer's would be.
  void DeliveredTick() {
    QMetaObject::invokeMethod(&rig_.window(), "Timer1Timer", Qt::QueuedConnection);
    QCoreApplication::processEvents();
  }

  OrvaneApplication* app_ = qobject_cast<OrvaneApplication*>(QCoreApplication::instance());
  WindowRig rig_{{"alarm.wav", "calm.wav"}};
  QStringList captions_;
  QStringList shown_;
};

TEST_F(TickErrorTest, ASongThatCouldNotBeOpenedFailsEachTrialInItsBoxAndTheTicksGoOn) {
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
  rig_.device.ScriptRead(LowOn({7}));
  QTest::mouseClick(form.Start, Qt::LeftButton);
  ASSERT_TRUE(window.Timer1().IsEnabled());

  for (int tick = 0; tick < 300 && shown_.size() < 3; ++tick) {
    DeliveredTick();
  }
  ASSERT_EQ(shown_.size(), 3);
  EXPECT_EQ(shown_[1], "No MCI device open.");
  EXPECT_EQ(shown_[2], "No MCI device open.") << "a later trial tried again";
  EXPECT_TRUE(window.Timer1().IsEnabled()) << "the ticks go on";
  EXPECT_EQ(rig_.DecidedTrials(), 0);
  EXPECT_FALSE(window.Controller().state().bad_playing);
  EXPECT_TRUE(rig_.exceptions.isEmpty());
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
