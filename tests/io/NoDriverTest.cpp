// Runs with a library search path that holds no driver until the test puts one there.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
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
using ::testing::HasSubstr;
using testing::RecordingNotices;
using testing::RecordingShapes;
using testing::SimulatedDevice;

namespace fs = std::filesystem;

const fs::path kInstalledDriver = fs::path(ORVANE_SEARCHED_FOLDER) / daq::kLibraryFileNames[0];

TEST(NoDriver, EveryCallFailsUntilTheLibraryCanBeLoadedAndTheOpeningSaysSoOnce) {
  fs::remove(kInstalledDriver);
  {
    DaqDriver driver;
    daq::TaskHandle task = nullptr;
    daq::uInt8 buffer[100] = {};
    const daq::uInt8 pattern[8] = {};
    daq::int32 count = 0;
    EXPECT_THAT((std::vector<daq::int32>{
                    driver.CreateTask("", &task),
                    driver.CreateDOChan(task, "Dev1/port0/line0:7", "", 1),
                    driver.CreateDIChan(task, "Dev1/port2/line0:7", "", 1),
                    driver.StartTask(task),
                    driver.ReadDigitalLines(task, 1, 10.0, 0, buffer, 100, &count, &count, nullptr),
                    driver.WriteDigitalLines(task, 1, 1, 10.0, 0, pattern, nullptr, nullptr),
                    driver.StopTask(task),
                    driver.ClearTask(task),
                }),
                Each(daq::kLibraryNotFound));

    FixedSettings settings;
    RecordingShapes shapes;
    RecordingNotices notices;
    DigitalLines lines(settings, shapes, notices);
    EXPECT_NO_THROW({
      lines.OpenTasks();
      for (int tick = 0; tick < 3; ++tick) {
        EXPECT_TRUE(lines.ReadPerch()) << "a driver that never answers leaves the perch occupied";
      }
      lines.PuffOn();
      lines.PuffOff();
    });
    EXPECT_THAT(shapes.perch, Each(colours::kYellow));
    EXPECT_TRUE(shapes.puff.empty()) << "no pattern reached the lines";
    EXPECT_TRUE(shapes.failing);
    EXPECT_THAT(
        notices.texts,
        ElementsAre(std::string("The device driver library \"") + daq::kLibraryFileNames[0] +
                    "\" could not be loaded, so the perch will read as occupied and the "
                    "puffer will not move; install the driver or connect the device, then "
                    "restart."));

    // Each call looks for the library again, so the next one after it appears reaches it, on the
    // tasks whose creation failed. This driver has no words for its statuses.
    fs::create_directories(kInstalledDriver.parent_path());
    fs::copy_file(ORVANE_WORDLESS_DRIVER_FILE, kInstalledDriver);
    lines.PuffOn();
    SimulatedDevice device;
    EXPECT_THAT(device.Calls(), ElementsAre("DAQmxWriteDigitalLines(null, 1, 1, 10, 0, "
                                            "[0 0 0 1 0 0 0 0], null, null)"));
    EXPECT_EQ(driver.StartTask(nullptr), -200088) << "the driver's own status now";
    EXPECT_EQ(notices.texts.size(), 1u) << "the writes were already known to fail";

    // Without the driver's words a failure is told by its number. This older driver has no
    // watchdog either, which only the tooltip tells; without any driver, the box said enough.
    device.FailCalls("DAQmxCreateDOChan", -200220);
    RecordingNotices reopened;
    DigitalLines again(settings, shapes, reopened);
    again.OpenTasks();
    ASSERT_EQ(reopened.texts.size(), 1u);
    EXPECT_THAT(
        reopened.texts[0],
        HasSubstr("\nDAQmxCreateDOChan on Dev1/port0/line0:7 failed with status -200220\n"));
    EXPECT_THAT(shapes.puff_notes, ElementsAre("The device driver has no watchdog functions: only "
                                               "this program switches the puffer off."));
  }
  // Only once no driver holds it loaded: Windows keeps a loaded library's file.
  fs::remove(kInstalledDriver);
}

}  // namespace
}  // namespace orvane
