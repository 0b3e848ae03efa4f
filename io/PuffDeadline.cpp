#include "io/PuffDeadline.h"

#include <algorithm>
#include <utility>

#include "io/platform/ThreadPriority.h"

namespace orvane {

namespace {

using Clock = PuffDeadline::Clock;

std::optional<Clock::time_point> Earlier(std::optional<Clock::time_point> look,
                                         Clock::time_point time) {
  return look && *look < time ? look : time;
}

std::size_t Index(PuffDeadline::Puff puff) {
  return puff == PuffDeadline::Puff::kTrial ? 0 : 1;
}

}  // namespace

PuffDeadline::PuffDeadline(Write write)
    : write_(std::move(write)), last_beat_(Clock::now().time_since_epoch().count()) {}

PuffDeadline::~PuffDeadline() {
  Stop();
}

void PuffDeadline::Start(std::function<void()> while_answering) {
  if (thread_.joinable()) {
    return;
  }
  while_answering_ = std::move(while_answering);
  stopping_ = false;
  thread_ = std::thread(&PuffDeadline::Run, this);
}

void PuffDeadline::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) {
    thread_.join();
  }
}

PuffDeadline::Switch PuffDeadline::SwitchOn(Puff puff, Clock::duration puff_length) {
  std::unique_lock lock(mutex_);
  Phase& phase = phases_[Index(puff)];
  if (puff == Puff::kManual) {
    phase = Phase{};  // each click of the puffer is a puff of its own
  }
  Switch result{0, false, TakeClosure()};
  if (phase.ended_by_deadline) {
    return result;
  }
  result.status = write_(kPuffOnPattern);
  result.written = true;
  if (!phase.running) {
    // Set by the phase's first on-write, held or not: the phase's ticks count from here.
    phase = Phase{true, false, Clock::now() + puff_length};
  }
  if (result.status < 0) {
    return result;
  }
  set_time_ = valve_ == Valve::kClosed ? phase.set_time : std::max(set_time_, phase.set_time);
  valve_ = Valve::kOpen;
  // The thread is woken only when it would otherwise look too late: a wake costs the tick more
  // than the arming itself.
  const bool sooner = !next_look_ || set_time_ + kMargin < *next_look_;
  lock.unlock();
  if (sooner) {
    wake_.notify_one();
  }
  return result;
}

PuffDeadline::Switch PuffDeadline::SwitchOff(std::optional<Puff> ending) {
  const std::lock_guard lock(mutex_);
  Switch result{0, true, TakeClosure()};
  result.status = write_(kPuffOffPattern);
  if (result.status >= 0) {
    valve_ = Valve::kClosed;
  }
  if (ending) {
    phases_[Index(*ending)] = Phase{};
  }
  return result;
}

PuffDeadline::Closure PuffDeadline::Beat(Clock::time_point now) {
  const bool was_silent =
      beaten_.load(std::memory_order_relaxed) && now - LastBeat() >= kAnswerGrace;
  last_beat_.store(now.time_since_epoch().count(), std::memory_order_relaxed);
  beaten_.store(true, std::memory_order_relaxed);
  if (!was_silent) {
    // Whatever the thread did is taken now or with the next switch, whichever comes first.
    const std::unique_lock lock(mutex_, std::try_to_lock);
    return lock ? TakeClosure() : Closure{};
  }
  // After a silence the thread may be closing the valve right now: its write is waited for, so
  // that the window never goes on as if it had not been made.
  const std::lock_guard lock(mutex_);
  if (valve_ == Valve::kOpen && now >= set_time_) {
    BeginClosing();
    if (!WriteOwnClosure()) {
      wake_.notify_one();  // the thread writes it again
    }
  }
  return TakeClosure();
}

int PuffDeadline::Closures() const {
  const std::lock_guard lock(mutex_);
  return closures_;
}

void PuffDeadline::BeginClosing() {
  valve_ = Valve::kClosing;
  for (Phase& phase : phases_) {
    phase.ended_by_deadline = phase.running;
  }
}

bool PuffDeadline::WriteOwnClosure() {
  const daq::int32 status = write_(kPuffOffPattern);
  const Clock::time_point written = Clock::now();
  closure_.writes.push_back(OwnWrite{written, status});
  if (status < 0) {
    return false;
  }
  valve_ = Valve::kClosed;
  closure_.late = written - set_time_;
  ++closures_;
  return true;
}

PuffDeadline::Closure PuffDeadline::TakeClosure() {
  return std::exchange(closure_, Closure{});
}

void PuffDeadline::Run() {
  RaiseThisThreadsPriority();
  std::unique_lock lock(mutex_);
  Clock::time_point next_periodic = Clock::now();
  while (!stopping_) {
    Clock::time_point now = Clock::now();
    std::optional<Clock::time_point> look;
    if (while_answering_) {
      if (now >= next_periodic) {
        if (!beaten_.load(std::memory_order_relaxed) || now - LastBeat() < kAnswerGrace) {
          // Not under the lock: the window's writes need not wait for this.
          lock.unlock();
          while_answering_();
          lock.lock();
          now = Clock::now();
        }
        next_periodic = now + kPeriod;
      }
      look = next_periodic;
    }
    if (valve_ == Valve::kOpen) {
      const Clock::time_point due = std::max(set_time_ + kMargin, LastBeat() + kAnswerGrace);
      if (now >= due) {
        BeginClosing();
      } else {
        look = Earlier(look, due);
      }
    }
    if (valve_ == Valve::kClosing && !WriteOwnClosure()) {
      look = Earlier(look, Clock::now() + kPeriod);
    }
    next_look_ = look;
    if (stopping_) {
      break;
    }
    if (look) {
      wake_.wait_until(lock, *look);
    } else {
      wake_.wait(lock);
    }
  }
  next_look_.reset();
}

}  // namespace orvane
