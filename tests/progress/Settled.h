#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFuture>
#include <QThread>

namespace orvane::testing {

// Turns the event loop until the future is finished, as the program's loop would: what the window
// does with work done off its thread runs there. False after a minute without.
template <typename T>
bool Settled(const QFuture<T>& future) {
  const QDeadlineTimer limit(60000);
  while (!future.isFinished() && !limit.hasExpired()) {
    QCoreApplication::processEvents();
    QThread::msleep(1);
  }
  return future.isFinished();
}

}  // namespace orvane::testing
