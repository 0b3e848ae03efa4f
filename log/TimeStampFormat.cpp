#include "log/TimeStampFormat.h"

#include <QDate>
#include <QTime>

namespace orvane {

QString WithoutTimeZone(const QString& time_pattern) {
  QString result;
  bool quoted = false;
  for (const QChar c : time_pattern) {
    if (c == u'\'') {
      quoted = !quoted;
    }
    if (quoted || c != u't') {
      result.append(c);
    }
  }
  // A zone between two fields leaves two spaces behind.
  while (result.contains(QStringLiteral("  "))) {
    result.replace(QStringLiteral("  "), QStringLiteral(" "));
  }
  return result.trimmed();
}

TimeStampFormat::TimeStampFormat(const QLocale& locale)
    : locale_(locale),
      date_pattern_(locale.dateFormat(QLocale::ShortFormat)),
      time_pattern_(WithoutTimeZone(locale.timeFormat(QLocale::LongFormat))) {}

std::string TimeStampFormat::Format(const LocalDateTime& when) const {
  QString text = locale_.toString(QDate(when.year, when.month, when.day), date_pattern_);
  if (when.hour != 0 || when.minute != 0 || when.second != 0) {
    text += u' ';
    text += locale_.toString(QTime(when.hour, when.minute, when.second), time_pattern_);
  }
  return text.toStdString();
}

}  // namespace orvane
