#include "ui/window/TickTimer.h"

#include <chrono>

namespace {
constexpr std::chrono::milliseconds kPeriod{100};
}

TickTimer::TickTimer(const orvane::MonotonicClock& clock, QObject* parent)
    : QObject(parent), clock_(clock), gate_(kPeriod) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kPeriod);
  connect(&timer_, &QTimer::timeout, this, &TickTimer::Expire);
}

void TickTimer::Enable() {
  // QTimer::start would restart a running period; an enabled timer must keep its phase.
  if (!timer_.isActive()) {
    gate_.Restart(clock_.Now());
    timer_.start();
  }
}

void TickTimer::Disable() {
  timer_.stop();
}

void TickTimer::Expire() {
  if (!timer_.isActive()) {
    return;  // queued before the timer was disabled
  }
  const orvane::TickGate::Verdict verdict = gate_.Expired(clock_.Now());
  if (!verdict.tick) {
    return;
  }
  if (verdict.ticks_dropped > 0) {
    emit stalled(verdict.gap.count(), verdict.ticks_dropped);
  }
  emit tick();
}
