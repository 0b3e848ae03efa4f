#include "io/ValveWatchdog.h"

#include <array>

#include "io/DeviceMessages.h"

namespace orvane {

namespace {

constexpr const char* kNoName = "";

}  // namespace

std::string ValveWatchdog::Open(const char* device, const char* lines) {
  if (!driver_.OffersWatchdog()) {
    // Without the library at all the opening's own notice has said what is missing.
    return driver_.Loaded() ? NoWatchdogText(nullptr) : std::string();
  }
  const auto refused = [&](const char* function, daq::int32 status) {
    FailedCall call{function, device, status, driver_.ErrorText(status)};
    if (task_ != nullptr) {
      driver_.ClearTask(task_);
      task_ = nullptr;
    }
    return NoWatchdogText(&call);
  };
  if (const daq::int32 status =
          driver_.CreateWatchdogTimerTaskEx(device, kNoName, &task_, kTimeoutSeconds);
      status < 0) {
    return refused("DAQmxCreateWatchdogTimerTaskEx", status);
  }
  // One state per line of the port's channel: every line low, the valve's among them.
  std::array<daq::int32, 8> low;
  low.fill(daq::kLineLow);
  if (const daq::int32 status = driver_.CfgWatchdogDOExpirStates(
          task_, lines, low.data(), static_cast<daq::uInt32>(low.size()));
      status < 0) {
    return refused("DAQmxCfgWatchdogDOExpirStates", status);
  }
  if (const daq::int32 status = driver_.StartTask(task_); status < 0) {
    return refused("DAQmxStartTask", status);
  }
  last_reset_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
  running_ = true;
  return WatchdogText(device, kTimeoutSeconds);
}

void ValveWatchdog::Reset() {
  if (Running() && !ResetIsLate(Clock::now())) {
    ResetNow();
  }
}

bool ValveWatchdog::ResetAfterGap() {
  daq::bool32 expired = 0;
  driver_.GetWatchdogHasExpired(task_, &expired);
  if (expired != 0) {
    driver_.ControlWatchdogTask(task_, daq::kWatchdogClearExpiration);
  }
  ResetNow();
  return expired != 0;
}

void ValveWatchdog::ResetNow() {
  if (driver_.ControlWatchdogTask(task_, daq::kWatchdogResetTimer) >= 0) {
    last_reset_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
  }
}

void ValveWatchdog::Close() {
  if (task_ == nullptr) {
    return;
  }
  running_ = false;
  driver_.StopTask(task_);
  driver_.ClearTask(task_);
  task_ = nullptr;
}

}  // namespace orvane
