#pragma once

#include <QLocale>
#include <QString>
#include <string>

#include "log/LocalClock.h"

namespace orvane {

// A locale's long time pattern reduced to hours, minutes, seconds and the AM/PM marker: the time
// zone, milliseconds and fields Qt cannot draw go, with the brackets, commas and spaces that only
// served them; quoted text and separators between the kept fields stay.
QString TimeFieldsOnly(const QString& time_pattern);

// Stamps in a locale's short date and long time (no zone, no milliseconds): "date time", or
// the date alone during the first second of a day.
class TimeStampFormat {
 public:
  explicit TimeStampFormat(const QLocale& locale = QLocale::system());
  // Explicit patterns in QLocale's syntax; the zone is left out of `time_pattern` as well.
  TimeStampFormat(const QLocale& locale, const QString& date_pattern, const QString& time_pattern);

  std::string Format(const LocalDateTime& when) const;

 private:
  QLocale locale_;
  QString date_pattern_;
  QString time_pattern_;
};

}  // namespace orvane
