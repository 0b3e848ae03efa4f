#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "control/TrialController.h"
#include "io/DigitalLines.h"
#include "tests/io/support/FakeWindow.h"
#include "tests/io/support/SimulatedDevice.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using testing::FixedSettings;
using testing::LowOn;
using ::testing::Pair;
using testing::RecordingShapes;
using testing::SimulatedDevice;

class BadSongOnce final : public KindChooser {
 public:
  SongKind ChooseRandomKind() override { return std::exchange(next_, kNoTrial); }
  SongKind ChooseSerialKind() override { return kNoTrial; }

 private:
  SongKind next_ = kBadSong;
};

class SilentPlayer final : public Player {
 public:
  void Play() override {}
  bool Enabled() const override { return true; }
};

class RecordingLog final : public TrialLogger {
 public:
  void LogTrial(SongKind kind, bool perch_occupied) override {
    rows.emplace_back(kind, perch_occupied);
  }
  std::vector<std::pair<SongKind, bool>> rows;
};

class BlankView final : public ControllerView {
 public:
  void SetWindowColour(Colour) override {}
  void ShowErrorMessage(std::string_view) override {}
};

class SwitchTimer final : public Timer {
 public:
  void Enable() override { enabled_ = true; }
  void Disable() override { enabled_ = false; }
  bool IsEnabled() const override { return enabled_; }

 private:
  bool enabled_ = false;
};

TEST(TrialOverDigitalLines, BadSongWithTheBirdStayingPuffsFromTheDecisionForTheDuration) {
  SimulatedDevice device;
  device.Reset();
  FixedSettings settings;  // delay 2.0 s, duration 10 ticks, perch on line 7
  RecordingShapes shapes;
  testing::RecordingNotices notices;
  DigitalLines lines(settings, shapes, notices);
  BadSongOnce chooser;
  SilentPlayer good;
  SilentPlayer bad;
  RecordingLog log;
  BlankView view;
  SwitchTimer timer1;
  SwitchTimer timer2;
  TrialController controller({settings, lines, chooser, good, bad, log, view, timer1, timer2});

  lines.OpenTasks();
  device.ScriptRead(LowOn({7}));  // the bird sits on the perch from the first read on
  controller.StartClick();

  std::vector<std::pair<int, std::string>> writes;
  for (int tick = 1; tick <= 40; ++tick) {
    const std::size_t before = device.Calls().size();
    controller.Timer1Timer();
    for (const std::string& call : device.CallsFrom(before)) {
      if (call.starts_with("DAQmxWriteDigitalLines")) {
        writes.emplace_back(tick, call);
      }
    }
  }

  // The song starts on tick 1; the decision count for 2.0 s is 21, so it falls on tick 21 and
  // the puff phase ends 10 ticks later.
  EXPECT_THAT(writes, ElementsAre(Pair(21,
                                       "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, "
                                       "[0 0 0 1 0 0 0 0], null, null)"),
                                  Pair(31,
                                       "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, "
                                       "[0 0 0 0 0 0 0 0], null, null)")));
  EXPECT_THAT(log.rows, ElementsAre(Pair(kBadSong, true)));
  EXPECT_THAT(shapes.puff, ElementsAre(colours::kBlue, colours::kRed, colours::kBlue));
}

}  // namespace
}  // namespace orvane
