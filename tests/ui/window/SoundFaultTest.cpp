// The sound path failing under a running experiment, over the virtual device that takes songs in
// real time: a device frozen mid-song or at a song's start, a device unplugged and plugged in
// again elsewhere, a default output that changes. How long the device stands still is told by
// the rig's held clock, so that a minute's stall takes no minute.
#include <QCoreApplication>
#include <QtTest/QTest>

#include <chrono>
#include <string>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "log/record/TrialTableFormat.h"
#include "playback/view/MediaPlayerBar.h"
#include "tests/support/TabSeparated.h"
#include "tests/ui/window/WindowRig.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

namespace column = trial_table;
using ::testing::AnyOf;
using ::testing::Each;
using ::testing::MatchesRegex;
using testing::WindowRig;

class SoundFaultTest : public ::testing::Test {
 protected:
  // Quick bad-song trials, ticked by hand from here on.
  void Start() {
    TForm1& window = rig_.Open();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    rig_.StartQuickBadTrials();
    window.Timer1().Disable();
  }
  // Ticks while `going` holds, each tick `step` of the sound clock later; the boxes a tick leaves
  // are shown after it, as the window's loop shows them. False when that takes 1000 ticks.
  bool TickWhile(const std::function<bool()>& going,
                 std::chrono::milliseconds step = std::chrono::milliseconds(0)) {
    for (int tick = 0; tick < 1000; ++tick) {
      if (!going()) {
        return true;
      }
      rig_.sound_clock.Advance(step);
      rig_.Tick();
      QCoreApplication::processEvents();
    }
    return false;
  }
  // Ticks `count` times, each `step` of the sound clock later.
  void Ticks(int count, std::chrono::milliseconds step = std::chrono::milliseconds(0)) {
    TickWhile([&] { return count-- > 0; }, step);
  }
  bool LogNext() {
    const int rows = rig_.DecidedTrials();
    return TickWhile([&] { return rig_.DecidedTrials() == rows; });
  }
  const TrialController::State& State() { return rig_.window().Controller().state(); }
  // Stops the bad song with its bar's Stop, so that the next trial starts it anew.
  void StopTheSong() {
    TMediaPlayer& bar = *rig_.form().play_bad;
    QTest::mouseClick(&bar, Qt::LeftButton, {},
                      bar.ButtonRect(TMediaPlayer::Button::kStop).center());
    ASSERT_FALSE(rig_.window().PlayBad().Sounding());
  }
  // Waits for a short song to end, so that the next trial starts it anew.
  void AwaitSongEnd() {
    ASSERT_TRUE(testing::Eventually([&] { return !rig_.window().PlayBad().Sounding(); }));
  }
  // Every logged row's song was heard: its stream played and the player had no error.
  void ExpectEveryRowHeard() {
    const auto table = testing::ReadTabSeparated(rig_.window().Record().Table().Path());
    EXPECT_EQ(table.rows.size(), static_cast<std::size_t>(rig_.DecidedTrials()));
    EXPECT_THAT(table.Column(column::kStream), Each(AnyOf("playing", "ready")));
    EXPECT_THAT(table.Column(column::kPlayerError), Each(""));
    EXPECT_EQ(rig_.DriverCalls(testing::kPuffOnWrite).size(), table.rows.size())
        << "a trial was puffed whose song was not heard";
  }

  WindowRig rig_;
  const QStringList& boxes_ = rig_.exceptions;  // the error boxes shown
};

// The device freezes for 10 s in mid-song, and for a minute at a song's start: no trial is logged
// or puffed meanwhile, one box tells each spell, the ticks go on, and once the device plays again
// the next trial plays and is logged without a song being picked again.
TEST_F(SoundFaultTest, AFrozenDeviceLosesItsTrialsWithOneBoxAndTheNextTrialIsLoggedAfterIt) {
  Start();
  ASSERT_TRUE(LogNext());
  // Only what the regular expressions of every system the tests run on know.
  const std::string stall =
      "The bad song did not reach the sound device, so its trial was not logged: The sound "
      "device stopped playing for .+ s; trials were not logged meanwhile\\.";

  // Frozen for 10 s at least, and for three trials. The device's last frames are seen before the
  // sound clock moves on, however late the song's own thread would have seen them.
  rig_.output.Freeze(true);
  rig_.window().PlayBad().Health();
  int started = 0;
  int ticks = 0;
  ASSERT_TRUE(TickWhile(
      [&] {
        started += State().bad_playing && State().trial_ticks == 1 ? 1 : 0;
        return ticks++ < 100 || started < 3 || State().bad_playing;
      },
      std::chrono::milliseconds(100)));
  EXPECT_EQ(rig_.DecidedTrials(), 1);
  ASSERT_EQ(boxes_.size(), 1);
  EXPECT_THAT(boxes_[0].toStdString(), MatchesRegex(stall));
  rig_.output.Freeze(false);
  ASSERT_TRUE(LogNext());
  EXPECT_EQ(boxes_.size(), 1);

  // At a song's start, the start itself held as a stalled server holds it.
  StopTheSong();
  rig_.output.Hold(VirtualOutput::Call::kStart);
  const int logged = rig_.DecidedTrials();
  Ticks(600, std::chrono::milliseconds(100));
  EXPECT_EQ(rig_.DecidedTrials(), logged);
  // Its first trial was decided before the start had waited longer than a start may.
  EXPECT_EQ(boxes_, (QStringList{boxes_[0],
                                 "The bad song did not reach the sound device, so its trial was "
                                 "not logged: The sound device had not started the song by the "
                                 "trial's decision."}));
  rig_.output.Release(VirtualOutput::Call::kStart);
  ASSERT_TRUE(LogNext());
  EXPECT_EQ(boxes_.size(), 2);
  ExpectEveryRowHeard();
}

// Songs go to the system's default output wherever the device list had it: to a default that
// changed, to a device unplugged and plugged in again under another index, and one box names a
// device that is gone while it stays gone. The list is built anew off the window's thread.
TEST_F(SoundFaultTest, TheNextSongPlaysOnTheDefaultDeviceAfterItChangedOrCameBack) {
  // Songs over before their trial is decided, so that each trial starts its song anew.
  testing::WriteSong(rig_.songs.path() / "short.wav", 800);
  Start();
  rig_.ClickSong(*rig_.form().bad_song_list, "short.wav");
  ASSERT_TRUE(LogNext());
  EXPECT_EQ(rig_.output.LastDevice(), VirtualOutput::kFirstDevice);

  rig_.output.PlugIn("USB speakers");
  rig_.output.SetDefault("USB speakers");
  AwaitSongEnd();
  ASSERT_TRUE(LogNext());
  EXPECT_EQ(rig_.output.LastDevice(), "USB speakers");

  // Unplugged with nothing else to fall back on: its trials are lost, one box names it.
  rig_.output.Unplug(VirtualOutput::kFirstDevice);
  rig_.output.Unplug("USB speakers");
  const int logged = rig_.DecidedTrials();
  ASSERT_TRUE(TickWhile([&] { return boxes_.isEmpty(); }));
  Ticks(100);
  EXPECT_EQ(rig_.DecidedTrials(), logged);
  EXPECT_EQ(boxes_, QStringList{"The bad song did not reach the sound device, so its trial was "
                                "not logged: The sound device \"USB speakers\" is not available."});

  rig_.output.PlugIn("HDMI");
  rig_.output.PlugIn("Line out");
  rig_.output.PlugIn("USB speakers");
  ASSERT_TRUE(LogNext());
  EXPECT_EQ(rig_.output.LastDevice(), "USB speakers");
  rig_.output.SetDefault("HDMI");
  AwaitSongEnd();
  ASSERT_TRUE(LogNext());
  EXPECT_EQ(rig_.output.LastDevice(), "HDMI");
  EXPECT_EQ(boxes_.size(), 1);
  EXPECT_FALSE(rig_.output.RebuiltOn(std::this_thread::get_id()));
  ExpectEveryRowHeard();

  // A new default at another rate than the song was prepared for: the box says what to do.
  rig_.output.SetOwnRate(22050);
  rig_.output.SetDefault("Line out");
  AwaitSongEnd();
  ASSERT_TRUE(TickWhile([&] { return boxes_.size() == 1; }));
  EXPECT_EQ(boxes_.last(),
            "The bad song did not reach the sound device, so its trial was not logged: The sound "
            "device now runs at another sample rate than when the song was chosen; choose the "
            "song again.");
}

}  // namespace
}  // namespace orvane
