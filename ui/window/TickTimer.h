#pragma once

#include <QObject>
#include <QTimer>

#include "control/MonotonicClock.h"
#include "control/TickGate.h"
#include "control/Timer.h"

// A 100 ms tick on the window's thread. Precise timing: a coarse timer may be 5 % late, which
// would stretch every puff and delay. Where the system delivers the periods missed during a stall
// back to back, all but the first are dropped, so ticks never come in a burst.
class TickTimer final : public QObject, public orvane::Timer {
  Q_OBJECT

 public:
  explicit TickTimer(const orvane::MonotonicClock& clock, QObject* parent = nullptr);

  void Enable() override;
  void Disable() override;
  bool IsEnabled() const override { return timer_.isActive(); }
  int Interval() const { return timer_.interval(); }  // milliseconds

  // The system's timer says a period has ended: a tick, unless it comes less than half a period
  // after the last one or the timer is disabled.
  void Expire();

 signals:
  // Before the tick that ends a stall: how long it was since the last tick, and how many ticks
  // should have come meanwhile.
  void stalled(qint64 gap_milliseconds, qint64 ticks_dropped);
  void tick();

 private:
  const orvane::MonotonicClock& clock_;
  orvane::TickGate gate_;
  QTimer timer_;
};
