#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "io/DaqInterface.h"
#include "io/PuffPatterns.h"

namespace orvane {

// Ends a puff when the window's thread, which ends it on time by its ticks, stops answering.
// Every pattern for the puffer is written through here under one lock, so that an on-write arms
// the puff's deadline and an off-write disarms it in the same step. A thread of its own writes
// the off pattern once the deadline has passed and the window's thread has not beaten for
// kAnswerGrace, and writes it again every kPeriod until it holds. While the window's thread
// beats, the deadline never acts: a puff it keeps open (Stop in a puff phase) stays open.
class PuffDeadline {
 public:
  using Clock = std::chrono::steady_clock;
  // One call of the driver for one pattern; made only while the lock is held.
  using Write = std::function<daq::int32(const Pattern&)>;

  static constexpr Clock::duration kMargin = std::chrono::milliseconds(300);
  static constexpr Clock::duration kAnswerGrace = std::chrono::milliseconds(400);
  static constexpr Clock::duration kPeriod = std::chrono::milliseconds(100);

  explicit PuffDeadline(Write write);
  ~PuffDeadline();
  PuffDeadline(const PuffDeadline&) = delete;
  PuffDeadline& operator=(const PuffDeadline&) = delete;

  // Starts the thread (at a raised priority where the system grants it). `while_answering`, when
  // given, runs on it every kPeriod until the first beat and then while the window's thread beats.
  void Start(std::function<void()> while_answering = {});
  // Ends the thread: nothing is written by it after this returns.
  void Stop();

  // The window's thread: writes the pattern; one that held arms the deadline `puff_length` plus
  // kMargin from now, or disarms it.
  daq::int32 SwitchOn(Clock::duration puff_length);
  daq::int32 SwitchOff();
  // The window's thread answers; never waits.
  void Beat(Clock::time_point now) {
    last_beat_.store(now.time_since_epoch().count(), std::memory_order_relaxed);
    beaten_.store(true, std::memory_order_relaxed);
  }
  Clock::time_point LastBeat() const {
    return Clock::time_point(Clock::duration(last_beat_.load(std::memory_order_relaxed)));
  }
  // True once after the thread has closed the valve by itself; never waits when it has not.
  bool TakeClosure();
  // How often the thread has closed the valve by itself.
  int Closures() const;

 private:
  enum class Valve { kClosed, kOpen, kClosing };

  void Run();
  // One round of the thread's work; returns when it must look again.
  std::optional<Clock::time_point> Round(std::unique_lock<std::mutex>& lock);

  Write write_;
  std::function<void()> while_answering_;
  std::atomic<Clock::rep> last_beat_;
  // Until the first beat the window is still being built, and nothing can open the valve yet.
  std::atomic<bool> beaten_{false};
  std::atomic<bool> closure_pending_{false};

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  Valve valve_ = Valve::kClosed;
  Clock::time_point deadline_;
  // When the thread will look next, if it will; an earlier deadline wakes it.
  std::optional<Clock::time_point> next_look_;
  int closures_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace orvane
