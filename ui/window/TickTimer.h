#pragma once

#include <QObject>
#include <QTimer>

#include "control/Timer.h"

// A 100 ms tick on the window's thread. Precise timing: a coarse timer may be 5 % late, which
// would stretch every puff and delay.
class TickTimer final : public QObject, public orvane::Timer {
  Q_OBJECT

 public:
  explicit TickTimer(QObject* parent = nullptr);

  void Enable() override;
  void Disable() override;
  bool IsEnabled() const override { return timer_.isActive(); }
  int Interval() const { return timer_.interval(); }  // milliseconds

 signals:
  void tick();

 private:
  QTimer timer_;
};
