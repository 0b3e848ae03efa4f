#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "io/DaqInterface.h"
#include "io/PuffPatterns.h"

namespace orvane {

// Ends a puff when the window's thread, which ends it on time by its ticks, stops answering.
// Every pattern for the puffer is written through here under one lock, so that an on-write arms
// the puff's deadline and an off-write disarms it in the same step. A thread of its own writes
// the off pattern once the deadline has passed and the window's thread has not beaten for
// kAnswerGrace, and writes it again every kPeriod until it holds; the first beat after such a
// silence ends at once a puff whose set time has passed. While the window's thread beats, the
// deadline never acts: a puff it keeps open (Stop in a puff phase) stays open.
//
// A trial's puff phase may write the on pattern at every decision within it: its deadline is set
// by its first on-write and kept by those that follow until the phase's own off-write, and once
// the deadline has ended the phase its later on-writes write nothing. Each manual puff, started
// by hand, is a phase of its own.
class PuffDeadline {
 public:
  using Clock = std::chrono::steady_clock;
  // One call of the driver for one pattern; made only while the lock is held.
  using Write = std::function<daq::int32(const Pattern&)>;

  static constexpr Clock::duration kMargin = std::chrono::milliseconds(300);
  static constexpr Clock::duration kAnswerGrace = std::chrono::milliseconds(400);
  static constexpr Clock::duration kPeriod = std::chrono::milliseconds(100);

  enum class Puff { kTrial, kManual };

  // An off-write made on the deadline's authority rather than at the window's asking.
  struct OwnWrite {
    Clock::time_point written;
    daq::int32 status = 0;
  };
  // What the deadline did since the window's thread last heard of it: taken under the same lock
  // as a switch, so that it is never credited to a later puff.
  struct Closure {
    std::vector<OwnWrite> writes;
    // Set when the off pattern held: how long after the puff's set time.
    std::optional<Clock::duration> late;
  };
  struct Switch {
    daq::int32 status = 0;
    // False when the deadline had ended the puff's phase: nothing was written.
    bool written = false;
    // Taken before the write.
    Closure closure;
  };

  explicit PuffDeadline(Write write);
  ~PuffDeadline();
  PuffDeadline(const PuffDeadline&) = delete;
  PuffDeadline& operator=(const PuffDeadline&) = delete;

  // Starts the thread (at a raised priority where the system grants it). `while_answering`, when
  // given, runs on it every kPeriod until the first beat and then while the window's thread beats.
  void Start(std::function<void()> while_answering = {});
  // Ends the thread: nothing is written by it after this returns.
  void Stop();

  // The window's thread. An on-write that holds opens the valve with the deadline of `puff`'s
  // phase, `puff_length` plus kMargin after its first on-write. An off-write that holds closes
  // it; it ends the phase of `ending`, if given, whatever the driver said.
  Switch SwitchOn(Puff puff, Clock::duration puff_length);
  Switch SwitchOff(std::optional<Puff> ending);
  // The window's thread answers. Never waits, unless it has been silent for kAnswerGrace: then it
  // waits for a write of the thread's in progress, and ends a puff past its set time at once.
  Closure Beat(Clock::time_point now);
  Clock::time_point LastBeat() const {
    return Clock::time_point(Clock::duration(last_beat_.load(std::memory_order_relaxed)));
  }
  // How often the valve was closed on the deadline's authority.
  int Closures() const;

 private:
  enum class Valve { kClosed, kOpen, kClosing };
  struct Phase {
    bool running = false;
    bool ended_by_deadline = false;
    Clock::time_point set_time;  // when the puff should end
  };

  void Run();
  // Marks the running phases ended and the valve to be closed, from now on.
  void BeginClosing();
  // One off-write on the deadline's authority; true once it held.
  bool WriteOwnClosure();
  Closure TakeClosure();

  Write write_;
  std::function<void()> while_answering_;
  std::atomic<Clock::rep> last_beat_;
  // Until the first beat the window is still being built, and nothing can open the valve yet.
  std::atomic<bool> beaten_{false};

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  Valve valve_ = Valve::kClosed;
  std::array<Phase, 2> phases_;
  // When the open valve should be closed: the latest set time of the running phases.
  Clock::time_point set_time_;
  Closure closure_;
  // When the thread will look next, if it will; an earlier deadline wakes it.
  std::optional<Clock::time_point> next_look_;
  int closures_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace orvane
