#include "ui/window/TickTimer.h"

TickTimer::TickTimer(QObject* parent) : QObject(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(100);
  connect(&timer_, &QTimer::timeout, this, &TickTimer::tick);
}

void TickTimer::Enable() {
  // QTimer::start would restart a running period; an enabled timer must keep its phase.
  if (!timer_.isActive()) {
    timer_.start();
  }
}

void TickTimer::Disable() {
  timer_.stop();
}
