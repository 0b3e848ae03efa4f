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

daq::int32 PuffDeadline::SwitchOn(Clock::duration puff_length) {
  std::unique_lock lock(mutex_);
  const daq::int32 status = write_(kPuffOnPattern);
  if (status < 0) {
    return status;
  }
  valve_ = Valve::kOpen;
  deadline_ = Clock::now() + puff_length + kMargin;
  // The thread is woken only when it would otherwise look too late: a wake costs the tick more
  // than the arming itself.
  const bool sooner = !next_look_ || deadline_ < *next_look_;
  lock.unlock();
  if (sooner) {
    wake_.notify_one();
  }
  return status;
}

daq::int32 PuffDeadline::SwitchOff() {
  const std::lock_guard lock(mutex_);
  const daq::int32 status = write_(kPuffOffPattern);
  if (status >= 0) {
    valve_ = Valve::kClosed;
  }
  return status;
}

bool PuffDeadline::TakeClosure() {
  return closure_pending_.load(std::memory_order_relaxed) &&
         closure_pending_.exchange(false, std::memory_order_acq_rel);
}

int PuffDeadline::Closures() const {
  const std::lock_guard lock(mutex_);
  return closures_;
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
      const Clock::time_point due = std::max(deadline_, LastBeat() + kAnswerGrace);
      if (now >= due) {
        valve_ = Valve::kClosing;
      } else {
        look = Earlier(look, due);
      }
    }
    if (valve_ == Valve::kClosing) {
      if (write_(kPuffOffPattern) >= 0) {
        valve_ = Valve::kClosed;
        ++closures_;
        closure_pending_.store(true, std::memory_order_release);
      } else {
        look = Earlier(look, Clock::now() + kPeriod);
      }
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
