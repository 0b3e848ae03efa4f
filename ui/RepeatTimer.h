#pragma once

#include <functional>
#include <memory>

namespace orvane {

// The auto-repeat clock of a push button, behind an interface so tests can fire it by hand.
class RepeatTimer {
 public:
  virtual ~RepeatTimer() = default;

  virtual void OnTimeout(std::function<void()> handler) = 0;
  // Starts a fresh period of `milliseconds`, whether or not the timer was running.
  virtual void Start(int milliseconds) = 0;
  // Takes effect from the next period on; a stopped timer stays stopped.
  virtual void SetInterval(int milliseconds) = 0;
  virtual void Stop() = 0;
  virtual bool IsActive() const = 0;
};

// The real clock, on the event loop of the calling thread.
std::unique_ptr<RepeatTimer> MakeEventLoopRepeatTimer();

}  // namespace orvane
