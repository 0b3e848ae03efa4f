#include "io/DigitalLines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "tests/io/support/FakeWindow.h"
#include "tests/io/support/SimulatedDevice.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using testing::FixedSettings;
using testing::LowOn;
using ::testing::MatchesRegex;
using testing::RecordingNotices;
using testing::RecordingShapes;
using testing::SimulatedDevice;

constexpr const char* kPerchRead =
    "DAQmxReadDigitalLines(task 2, 1, 10, 0, ptr, 100, ptr, ptr, null)";
constexpr const char* kOnWrite =
    "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 1 0 0 0 0], null, null)";
constexpr const char* kOffWrite =
    "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 0 0 0 0 0], null, null)";

class DigitalLinesTest : public ::testing::Test {
 protected:
  void SetUp() override { device.Reset(); }

  void Open() {
    lines.OpenTasks();
    shapes = {};
    opened = device.Calls().size();
  }

  std::vector<std::string> CallsSinceOpen() const { return device.CallsFrom(opened); }

  SimulatedDevice device;
  FixedSettings settings;
  RecordingShapes shapes;
  RecordingNotices notices;
  DigitalLines lines{settings, shapes, notices};
  std::size_t opened = 0;
};

constexpr daq::int32 kUnknownDevice = -200220;
constexpr daq::int32 kLateRead = -200279;

// A device without a watchdog of its own runs as one with: its tooltip says so, no box.
TEST_F(DigitalLinesTest, OpeningStartsThePufferWithItsValveClosedBeforeThePerchThenTheWatchdog) {
  lines.OpenTasks();

  EXPECT_THAT(device.Calls(),
              ElementsAre("DAQmxCreateTask(\"\", ptr)",
                          "DAQmxCreateDOChan(task 1, \"Dev1/port0/line0:7\", \"\", 1)",
                          "DAQmxStartTask(task 1)", kOffWrite, "DAQmxCreateTask(\"\", ptr)",
                          "DAQmxCreateDIChan(task 2, \"Dev1/port2/line0:7\", \"\", 1)",
                          "DAQmxStartTask(task 2)",
                          "DAQmxCreateWatchdogTimerTaskEx(\"Dev1\", \"\", ptr, 1)"));
  EXPECT_THAT(shapes.puff, ElementsAre(colours::kBlue));
  EXPECT_THAT(shapes.puff_notes,
              ElementsAre("Dev1 has no watchdog of its own: only this program switches the "
                          "puffer off.\nDAQmxCreateWatchdogTimerTaskEx on Dev1 failed with status "
                          "-201119: The simulated device has no watchdog timer."));
  EXPECT_TRUE(shapes.perch.empty()) << "only a read colours the perch";
  EXPECT_TRUE(notices.texts.empty());
  EXPECT_FALSE(shapes.failing);
}

// Each failing opening is told in one notice naming the first failing call of each task, and
// every step of the opening still runs.
TEST_F(DigitalLinesTest, AFailedOpeningIsToldOnceWithTheCallTheLinesAndTheDriversText) {
  struct Case {
    const char* function;
    int count;
    std::string text;
    bool reads_quiet;   // the perch task failed, so reads are already known to fail
    bool writes_quiet;  // the puffer task failed, likewise for writes
  };
  const Case cases[] = {
      {"DAQmxCreateDOChan", 1,
       "The acquisition device could not be opened.\n"
       "DAQmxCreateDOChan on Dev1/port0/line0:7 failed with status -200220: No device of that "
       "name is connected to the simulated driver.\n"
       "Until it works, the puffer will not move; connect the device, then restart.",
       false, true},
      {"DAQmxCreateDIChan", 1,
       "The acquisition device could not be opened.\n"
       "DAQmxCreateDIChan on Dev1/port2/line0:7 failed with status -200220: No device of that "
       "name is connected to the simulated driver.\n"
       "Until it works, the perch will read as occupied; connect the device, then restart.",
       true, false},
      {"DAQmxStartTask", 2,
       "The acquisition device could not be opened.\n"
       "DAQmxStartTask on Dev1/port0/line0:7 failed with status -200220: No device of that name "
       "is connected to the simulated driver.\n"
       "DAQmxStartTask on Dev1/port2/line0:7 failed with status -200220: No device of that name "
       "is connected to the simulated driver.\n"
       "Until it works, the perch will read as occupied and the puffer will not move; connect "
       "the device, then restart.",
       true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    device.Reset();
    device.FailCalls(c.function, kUnknownDevice, c.count);
    RecordingShapes case_shapes;
    RecordingNotices case_notices;
    DigitalLines case_lines(settings, case_shapes, case_notices);
    case_lines.OpenTasks();
    EXPECT_EQ(device.Calls().size(), 8u) << "every step runs whatever the one before returned";
    EXPECT_THAT(case_notices.texts, ElementsAre(c.text));
    EXPECT_TRUE(case_shapes.failing);

    // Calls on a task that failed stay quiet: the opening's notice spoke for them.
    device.FailCalls("DAQmxReadDigitalLines", kUnknownDevice, 1);
    device.FailCalls("DAQmxWriteDigitalLines", kUnknownDevice, 1);
    case_lines.ReadPerch();
    case_lines.PuffOn();
    EXPECT_EQ(case_notices.texts.size(), 1u + (c.reads_quiet ? 0 : 1) + (c.writes_quiet ? 0 : 1));
  }
}

TEST_F(DigitalLinesTest, ClosingStopsAndClearsBothTasksAndLeavesAnOpenValveOpen) {
  Open();
  lines.PuffOn();
  lines.CloseTasks();

  EXPECT_THAT(CallsSinceOpen(),
              ElementsAre(kOnWrite, "DAQmxStopTask(task 2)", "DAQmxStopTask(task 1)",
                          "DAQmxClearTask(task 2)", "DAQmxClearTask(task 1)"));
  EXPECT_THAT(shapes.puff, ElementsAre(colours::kRed));
}

TEST_F(DigitalLinesTest, TheBirdIsOnThePerchWhenTheSelectedLineReadsLow) {
  Open();
  device.ScriptRead(LowOn({7}));
  device.ScriptRead(LowOn({0, 1, 2, 3, 4, 5, 6}));
  device.ScriptRead(LowOn({0}));
  device.ScriptRead(LowOn({1, 2, 3, 4, 5, 6, 7}));
  device.ScriptRead(LowOn({7}));

  std::vector<bool> on_perch;
  on_perch.push_back(lines.ReadPerch());
  on_perch.push_back(lines.ReadPerch());
  settings.perch_line = 0.0;  // takes effect at the very next read
  on_perch.push_back(lines.ReadPerch());
  on_perch.push_back(lines.ReadPerch());
  settings.perch_line = 7.9;  // truncated toward zero
  on_perch.push_back(lines.ReadPerch());

  EXPECT_THAT(on_perch, ElementsAre(true, false, true, false, true));
  EXPECT_THAT(shapes.perch, ElementsAre(colours::kYellow, colours::kBlack, colours::kYellow,
                                        colours::kBlack, colours::kYellow));
  EXPECT_THAT(CallsSinceOpen(),
              ElementsAre(kPerchRead, kPerchRead, kPerchRead, kPerchRead, kPerchRead));
}

TEST_F(DigitalLinesTest, AFailedReadDecidesAgainOnTheLastBytesReadAndEachSpellIsToldOnce) {
  Open();
  device.ScriptFailedRead(kLateRead);
  device.ScriptRead(LowOn({0, 1, 2, 3, 4, 5, 6}));
  device.ScriptFailedRead(kLateRead);
  device.ScriptFailedRead(kLateRead);
  device.ScriptRead(LowOn({3, 7}));
  device.ScriptFailedRead(kLateRead);

  std::vector<bool> failing;
  const auto read = [&] {
    const bool on_perch = lines.ReadPerch();
    failing.push_back(shapes.failing);
    return on_perch;
  };
  EXPECT_TRUE(read()) << "before any good read the buffer holds zeros: occupied";
  EXPECT_FALSE(read());
  EXPECT_FALSE(read()) << "line 7 was high at the last good read";
  EXPECT_FALSE(read());
  EXPECT_TRUE(read());
  settings.perch_line = 3.0;
  EXPECT_TRUE(read()) << "line 3 was low at the last good read";
  EXPECT_EQ(CallsSinceOpen().size(), 6u);
  EXPECT_THAT(failing, ElementsAre(true, false, true, true, false, true));
  ASSERT_EQ(notices.texts.size(), 3u) << "one per spell of failing reads";
  EXPECT_EQ(notices.texts[0],
            "The perch could not be read: DAQmxReadDigitalLines on Dev1/port2/line0:7 failed with "
            "status -200279: The simulated device lost samples: it was read too late.\n"
            "Until a read succeeds, trials are decided on the last reading (occupied if there was "
            "none).");
}

TEST_F(DigitalLinesTest, ALineOutsideTheReadBufferNeverShowsTheBird) {
  Open();
  device.ScriptRead(LowOn({0, 1, 2, 3, 4, 5, 6, 7}));
  for (const double line : {-1.0, 100.0, 1e12, -1e12, std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()}) {
    settings.perch_line = line;
    EXPECT_FALSE(lines.ReadPerch()) << "perch line " << line;
  }
  settings.perch_line = -0.5;  // truncates to line 0
  EXPECT_TRUE(lines.ReadPerch());
}

TEST_F(DigitalLinesTest, PuffsDriveOnlyLineThreeAndEveryCommandIsWritten) {
  Open();
  lines.PuffOn();
  lines.PuffOff();
  lines.PuffOff();

  EXPECT_THAT(CallsSinceOpen(), ElementsAre(kOnWrite, kOffWrite, kOffWrite));
  EXPECT_THAT(shapes.puff, ElementsAre(colours::kRed, colours::kBlue, colours::kBlue));
}

#if !defined(_WIN32)
// Where the device has a watchdog, it closes the valve by itself once the program stops
// answering, its lines living outside the program, but only after a silence as long as its whole
// time-out: a window stalled 1.1 s and then 0.35 s, or 0.9 s and then 0.35 s, leaves the valve
// open. After a longer silence the next beat clears the expiry, writes the off pattern on the
// watchdog's behalf and tells it once; closing releases the watchdog last.
TEST_F(DigitalLinesTest, OnlyAWholeTimeOutOfSilenceLetsTheDevicesWatchdogCloseTheValve) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("orvane-watchdog-lines-" + std::to_string(::getpid()));
  setenv(testing::kWatchdogLinesVariable, file.c_str(), 1);
  settings.puff_duration = 200;  // the puff's own deadline lies well beyond the scenario
  std::vector<PuffWriter> writers;
  lines.ListenToWrites(
      [&](const DigitalLines::PufferWrite& write) { writers.push_back(write.by); });
  lines.OpenTasks();
  unsetenv(testing::kWatchdogLinesVariable);
  const std::vector<std::string> opening = device.Calls();
  ASSERT_GE(opening.size(), 10u);
  EXPECT_THAT(std::vector(opening.begin() + 7, opening.begin() + 10),
              ElementsAre("DAQmxCreateWatchdogTimerTaskEx(\"Dev1\", \"\", ptr, 1)",
                          "DAQmxCfgWatchdogDOExpirStates(task 3, \"Dev1/port0/line0:7\", [10214 "
                          "10214 10214 10214 10214 10214 10214 10214], 8)",
                          "DAQmxStartTask(task 3)"));
  EXPECT_THAT(shapes.puff_notes, ElementsAre("Should this program stop, the watchdog of Dev1 "
                                             "switches the puffer off after 1.0 s."));

  const auto valve_line = [&file] {
    return testing::WatchdogLines(file).value_or(testing::SimulatedDevice::Levels{}).at(3);
  };
  // Beats every 100 ms, the last one at the end.
  const auto answer = [&](int milliseconds) {
    for (int beat = 0; beat < milliseconds / 100; ++beat) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      lines.Beat();
    }
  };
  const auto silent = [](int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  };
  lines.Beat();
  lines.PuffOn();
  EXPECT_EQ(testing::WatchdogLines(file), testing::LowOn({0, 1, 2, 4, 5, 6, 7}));
  for (const int first_stall : {1100, 900}) {
    answer(300);
    silent(first_stall);
    lines.Beat();
    silent(350);
    lines.Beat();
    EXPECT_EQ(valve_line(), 1) << "after a stall of " << first_stall << " ms";
  }
  answer(300);
  EXPECT_TRUE(notices.texts.empty());

  // No beat from now on; only the watchdog can close the valve before the puff's deadline.
  for (int wait = 0; wait < 2000 && valve_line() != 0; ++wait) {
    silent(10);
  }
  EXPECT_EQ(testing::WatchdogLines(file), testing::LowOn({0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(shapes.puff.back(), colours::kRed) << "the program wrote nothing";

  const std::size_t before = device.Calls().size();
  lines.Beat();
  const std::vector<std::string> beat = device.CallsFrom(before);
  ASSERT_GE(beat.size(), 4u);
  EXPECT_THAT(
      std::vector(beat.begin(), beat.begin() + 4),
      ElementsAre("DAQmxGetWatchdogHasExpired(task 3, ptr)", "DAQmxControlWatchdogTask(task 3, 1)",
                  "DAQmxControlWatchdogTask(task 3, 0)", kOffWrite));
  EXPECT_EQ(shapes.puff.back(), colours::kBlue);
  EXPECT_THAT(notices.texts,
              ElementsAre(MatchesRegex("The window was not answering for [0-9]+\\.[0-9] s; the "
                                       "device's watchdog switched the puffer off\\.")));
  EXPECT_THAT(writers, ElementsAre(PuffWriter::kStart, PuffWriter::kTrial, PuffWriter::kWatchdog));
  EXPECT_EQ(lines.Deadline().Closures(), 0);

  lines.CloseTasks();
  const std::vector<std::string> calls = device.Calls();
  EXPECT_THAT(
      std::vector(calls.end() - 6, calls.end()),
      ElementsAre("DAQmxStopTask(task 2)", "DAQmxStopTask(task 1)", "DAQmxClearTask(task 2)",
                  "DAQmxClearTask(task 1)", "DAQmxStopTask(task 3)", "DAQmxClearTask(task 3)"));
  std::filesystem::remove(file);
}
#endif

TEST(DaqDriver, PassesTheDriversOwnStatusBackAndItsWordsForIt) {
  SimulatedDevice device;
  device.Reset();
  DaqDriver driver;
  daq::TaskHandle task = nullptr;
  EXPECT_EQ(driver.CreateTask("", &task), 0);
  EXPECT_NE(task, nullptr);
  EXPECT_EQ(driver.StartTask(task), 0);
  EXPECT_EQ(driver.StopTask(nullptr), -200088) << "the simulated driver's invalid-task status";
  EXPECT_EQ(driver.ErrorText(-200088), "The task is not known to the simulated driver.");
}

}  // namespace
}  // namespace orvane
