#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "io/DaqInterface.h"
#include "io/platform/SharedLibrary.h"

namespace orvane::testing {

// The test's hold on the simulated driver library, found the way the program finds the driver.
class SimulatedDevice {
 public:
  using Levels = std::array<daq::uInt8, 8>;

  // Throws when no simulated driver is on the library search path.
  SimulatedDevice();

  void Reset();
  void ScriptRead(const Levels& levels);
  void ScriptFailedRead(daq::int32 status);
  // The next `count` calls of `function` (e.g. "DAQmxWriteDigitalLines") fail with `status`.
  void FailCalls(const char* function, daq::int32 status, int count = 1);
  // The next `count` calls of `function` take `milliseconds` longer.
  void SlowCalls(const char* function, int milliseconds, int count = 1);
  void SetRecording(bool on);
  // Every call received since the last reset, oldest first.
  std::vector<std::string> Calls() const;
  // The calls received after the first `from` of them.
  std::vector<std::string> CallsFrom(std::size_t from) const;

 private:
  template <typename Function>
  Function Bound(const char* name) const;

  std::optional<SharedLibrary> library_;
};

// The levels of port 2 with every line high except those listed, which read low.
SimulatedDevice::Levels LowOn(std::initializer_list<int> lines);

// The simulated device with a watchdog keeps port 0 in the file that the variable
// SIMULATED_DRIVER_WATCHDOG_LINES names while it opens the watchdog (Linux only).
inline constexpr const char* kWatchdogLinesVariable = "SIMULATED_DRIVER_WATCHDOG_LINES";
// Port 0's levels as that file holds them now; none while it holds none.
std::optional<SimulatedDevice::Levels> WatchdogLines(const std::filesystem::path& file);

}  // namespace orvane::testing
