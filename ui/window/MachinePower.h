#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace orvane {

// The machine's power management as a run needs it: the machine is asked to stay awake while an
// experiment runs (the display may still sleep), and the window hears, on its own thread, when the
// machine goes to sleep anyway and when it wakes.
class MachinePower {
 public:
  struct Listener {
    // The machine is about to sleep: what must be done before it does is done before this returns.
    std::function<void()> sleeps;
    // Awake again, after sleeping for `slept`.
    std::function<void(std::chrono::milliseconds slept)> woke;
    // Staying awake could not be had, or the machine's sleep cannot be seen coming: why, in a
    // sentence for the experimenter.
    std::function<void(const std::string& why)> refused;
  };

  virtual ~MachinePower() = default;

  // An empty listener ends the calls.
  virtual void Listen(Listener listener) = 0;
  // From Start to Stop or close. `window`: the main window's native handle, for a shutdown screen
  // that names the programs holding it up.
  virtual void StayAwake(std::uintptr_t window) = 0;
  virtual void AllowSleep() = 0;
};

}  // namespace orvane
