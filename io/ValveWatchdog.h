#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "io/DaqDriver.h"

namespace orvane {

// The device's own watchdog, where it has one: it drives the valve's port low by itself when it
// is not reset for kTimeout, so that a crash, a kill or a frozen machine closes the valve as well.
// Without one (an older driver, or a device that has none) nothing changes.
class ValveWatchdog {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr daq::float64 kTimeoutSeconds = 1.0;
  // Older than the window's answer grace, the last reset tells of a gap in which the watchdog may
  // have expired, which must be cleared first (ResetAfterGap). The thread that resets it while the
  // window answers stops then; the window's next beat resets it, so that only a window silent
  // for the whole time-out lets it expire.
  static constexpr Clock::duration kLateReset = std::chrono::milliseconds(400);

  explicit ValveWatchdog(DaqDriver& driver) : driver_(driver) {}

  // Creates, configures and starts a watchdog on `device` that drives `lines` low. Returns what
  // the `puff` shape's tooltip tells of it: that it watches, or why there is none.
  std::string Open(const char* device, const char* lines);
  bool Running() const { return running_; }
  // Resets the timer unless the last reset is kLateReset old; any thread.
  void Reset();
  bool ResetIsLate(Clock::time_point now) const {
    return Running() && now - LastReset() >= kLateReset;
  }
  // After a gap in the resets: clears an expiry and resets. True when it had expired.
  bool ResetAfterGap();
  // Stops and clears the watchdog's task; the lines keep their levels.
  void Close();

 private:
  Clock::time_point LastReset() const {
    return Clock::time_point(Clock::duration(last_reset_.load(std::memory_order_relaxed)));
  }
  void ResetNow();

  DaqDriver& driver_;
  daq::TaskHandle task_ = nullptr;
  bool running_ = false;
  std::atomic<Clock::rep> last_reset_{0};
};

}  // namespace orvane
