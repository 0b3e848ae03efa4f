#include "log/LocalClock.h"

#include <QDateTime>

namespace orvane {

LocalDateTime SystemLocalClock::Now() const {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return LocalDateTime{date.year(),   date.month(),  date.day(),  time.hour(),
                       time.minute(), time.second(), time.msec(), now.offsetFromUtc()};
}

}  // namespace orvane
