#include "tests/io/support/SimulatedDevice.h"

#include <fstream>
#include <stdexcept>

#include "io/platform/DaqPlatform.h"
#include "tests/io/simulated_driver/SimulatedDriverControl.h"

namespace orvane::testing {

SimulatedDevice::SimulatedDevice() {
  for (const char* file_name : daq::kLibraryFileNames) {
    library_ = SharedLibrary::Open(file_name);
    if (library_) {
      return;
    }
  }
  throw std::runtime_error("the simulated driver library is not on the library search path");
}

template <typename Function>
Function SimulatedDevice::Bound(const char* name) const {
  const auto function = reinterpret_cast<Function>(library_->Find(name));
  if (function == nullptr) {
    throw std::runtime_error(std::string("the simulated driver does not export ") + name);
  }
  return function;
}

void SimulatedDevice::Reset() {
  Bound<decltype(&SimulatedDriverReset)>("SimulatedDriverReset")();
}

void SimulatedDevice::ScriptRead(const Levels& levels) {
  Bound<decltype(&SimulatedDriverScriptRead)>("SimulatedDriverScriptRead")(levels.data());
}

void SimulatedDevice::ScriptFailedRead(daq::int32 status) {
  Bound<decltype(&SimulatedDriverScriptFailedRead)>("SimulatedDriverScriptFailedRead")(status);
}

void SimulatedDevice::FailCalls(const char* function, daq::int32 status, int count) {
  Bound<decltype(&SimulatedDriverFailCalls)>("SimulatedDriverFailCalls")(function, status, count);
}

void SimulatedDevice::SlowCalls(const char* function, int milliseconds, int count) {
  Bound<decltype(&SimulatedDriverSlowCalls)>("SimulatedDriverSlowCalls")(function, milliseconds,
                                                                         count);
}

void SimulatedDevice::SetRecording(bool on) {
  Bound<decltype(&SimulatedDriverSetRecording)>("SimulatedDriverSetRecording")(on ? 1 : 0);
}

std::vector<std::string> SimulatedDevice::Calls() const {
  return CallsFrom(0);
}

std::vector<std::string> SimulatedDevice::CallsFrom(std::size_t from) const {
  const auto count = Bound<decltype(&SimulatedDriverCallCount)>("SimulatedDriverCallCount")();
  const auto call = Bound<decltype(&SimulatedDriverCall)>("SimulatedDriverCall");
  std::vector<std::string> calls;
  for (auto i = static_cast<daq::int32>(from); i < count; ++i) {
    calls.emplace_back(call(i));
  }
  return calls;
}

SimulatedDevice::Levels LowOn(std::initializer_list<int> lines) {
  SimulatedDevice::Levels levels{1, 1, 1, 1, 1, 1, 1, 1};
  for (const int line : lines) {
    levels.at(static_cast<std::size_t>(line)) = 0;
  }
  return levels;
}

std::optional<SimulatedDevice::Levels> WatchdogLines(const std::filesystem::path& file) {
  std::ifstream lines(file, std::ios::binary);
  SimulatedDevice::Levels levels{};
  if (!lines.read(reinterpret_cast<char*>(levels.data()), levels.size())) {
    return std::nullopt;
  }
  return levels;
}

}  // namespace orvane::testing
