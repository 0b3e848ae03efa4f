#pragma once

namespace orvane {

// A 100 ms tick source on the window's thread. Enabling an enabled timer changes nothing (its
// period does not restart); enabling a disabled one starts a fresh period.
class Timer {
 public:
  virtual ~Timer() = default;

  virtual void Enable() = 0;
  virtual void Disable() = 0;
  virtual bool IsEnabled() const = 0;
};

}  // namespace orvane
