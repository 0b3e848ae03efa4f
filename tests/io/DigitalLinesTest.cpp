#include "io/DigitalLines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/io/support/FakeWindow.h"
#include "tests/io/support/SimulatedDevice.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using testing::FixedSettings;
using testing::LowOn;
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
  DigitalLines lines{settings, shapes};
  std::size_t opened = 0;
};

TEST_F(DigitalLinesTest, OpeningStartsThePufferWithItsValveClosedBeforeThePerch) {
  lines.OpenTasks();

  EXPECT_THAT(device.Calls(),
              ElementsAre("DAQmxCreateTask(\"\", ptr)",
                          "DAQmxCreateDOChan(task 1, \"Dev1/port0/line0:7\", \"\", 1)",
                          "DAQmxStartTask(task 1)", kOffWrite, "DAQmxCreateTask(\"\", ptr)",
                          "DAQmxCreateDIChan(task 2, \"Dev1/port2/line0:7\", \"\", 1)",
                          "DAQmxStartTask(task 2)"));
  EXPECT_THAT(shapes.puff, ElementsAre(colours::kBlue));
  EXPECT_TRUE(shapes.perch.empty()) << "only a read colours the perch";
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

TEST_F(DigitalLinesTest, AFailedReadDecidesAgainOnTheLastBytesRead) {
  Open();
  device.ScriptFailedRead(-200474);
  device.ScriptRead(LowOn({0, 1, 2, 3, 4, 5, 6}));
  device.ScriptFailedRead(-200474);
  device.ScriptRead(LowOn({3, 7}));
  device.ScriptFailedRead(-200474);

  EXPECT_TRUE(lines.ReadPerch()) << "before any good read the buffer holds zeros: occupied";
  EXPECT_FALSE(lines.ReadPerch());
  EXPECT_FALSE(lines.ReadPerch()) << "line 7 was high at the last good read";
  EXPECT_TRUE(lines.ReadPerch());
  settings.perch_line = 3.0;
  EXPECT_TRUE(lines.ReadPerch()) << "line 3 was low at the last good read";
  EXPECT_EQ(CallsSinceOpen().size(), 5u);
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

TEST_F(DigitalLinesTest, ADeviceThatRejectsEveryCallStaysSilentAndTheShapesStillFollow) {
  // Once cleared, the tasks are unknown to the driver, which fails every call on them.
  Open();
  lines.CloseTasks();
  device.ScriptRead(LowOn({}));

  EXPECT_NO_THROW({
    EXPECT_TRUE(lines.ReadPerch()) << "the rejected read left the buffer as it was";
    lines.PuffOn();
    lines.PuffOff();
    lines.CloseTasks();
  });
  EXPECT_THAT(shapes.perch, ElementsAre(colours::kYellow));
  EXPECT_THAT(shapes.puff, ElementsAre(colours::kRed, colours::kBlue));
}

TEST(DaqDriver, PassesTheDriversOwnStatusBack) {
  SimulatedDevice device;
  device.Reset();
  DaqDriver driver;
  daq::TaskHandle task = nullptr;
  EXPECT_EQ(driver.CreateTask("", &task), 0);
  EXPECT_NE(task, nullptr);
  EXPECT_EQ(driver.StartTask(task), 0);
  EXPECT_EQ(driver.StopTask(nullptr), -200088) << "the simulated driver's invalid-task status";
}

}  // namespace
}  // namespace orvane
