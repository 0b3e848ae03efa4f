// Runs with a driver library on the search path that lacks DAQmxClearTask.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "io/DaqDriver.h"
#include "io/DigitalLines.h"
#include "tests/io/support/FakeWindow.h"
#include "tests/io/support/SimulatedDevice.h"

namespace orvane {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using testing::FixedSettings;
using testing::RecordingNotices;
using testing::RecordingShapes;
using testing::SimulatedDevice;

TEST(IncompleteDriver, EveryCallFailsWithoutReachingTheLibrary) {
  SimulatedDevice device;
  device.Reset();

  DaqDriver driver;
  daq::TaskHandle task = nullptr;
  daq::uInt8 buffer[100] = {};
  const daq::uInt8 pattern[8] = {};
  daq::int32 count = 0;
  std::vector<daq::int32> statuses;
  for (int round = 0; round < 2; ++round) {
    statuses.push_back(driver.CreateTask("", &task));
    statuses.push_back(driver.CreateDOChan(task, "Dev1/port0/line0:7", "", 1));
    statuses.push_back(driver.CreateDIChan(task, "Dev1/port2/line0:7", "", 1));
    statuses.push_back(driver.StartTask(task));
    statuses.push_back(
        driver.ReadDigitalLines(task, 1, 10.0, 0, buffer, 100, &count, &count, nullptr));
    statuses.push_back(driver.WriteDigitalLines(task, 1, 1, 10.0, 0, pattern, nullptr, nullptr));
    statuses.push_back(driver.StopTask(task));
    statuses.push_back(driver.ClearTask(task));
  }
  EXPECT_EQ(statuses.size(), 16u);
  EXPECT_THAT(statuses, Each(daq::kFunctionNotFound));
  EXPECT_EQ(task, nullptr);
  EXPECT_TRUE(device.Calls().empty()) << "no function is bound unless all eight are";
}

TEST(IncompleteDriver, TheProgramRunsOnWithThePerchOccupiedAfterOneNoticeNamingTheFunction) {
  FixedSettings settings;
  RecordingShapes shapes;
  RecordingNotices notices;
  DigitalLines lines(settings, shapes, notices);

  EXPECT_NO_THROW({
    lines.OpenTasks();
    EXPECT_TRUE(lines.ReadPerch());
    lines.PuffOn();
    lines.PuffOff();
    lines.CloseTasks();
  });
  EXPECT_THAT(shapes.perch, ElementsAre(colours::kYellow));
  EXPECT_TRUE(shapes.puff.empty()) << "no pattern reached the lines";
  EXPECT_TRUE(shapes.failing);
  // Found under the last name tried: where there are two, only the unversioned one is searchable.
  EXPECT_THAT(
      notices.texts,
      ElementsAre(std::string("The device driver library \"") + daq::kLibraryFileNames.back() +
                  "\" lacks the function DAQmxClearTask, so the perch will read as "
                  "occupied and the puffer will not move; install the driver or connect "
                  "the device, then restart."));
}

}  // namespace
}  // namespace orvane
