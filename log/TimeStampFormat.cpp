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
    : TimeStampFormat(locale, locale.dateFormat(QLocale::ShortFormat),
                      locale.timeFormat(QLocale::LongFormat)) {}

TimeStampFormat::TimeStampFormat(const QLocale& locale, const QString& date_pattern,
                                 const QString& time_pattern)
    : locale_(locale), date_pattern_(date_pattern), time_pattern_(WithoutTimeZone(time_pattern)) {}

std::string TimeStampFormat::Format(const LocalDateTime& when) const {
  QString text = locale_.toString(QDate(when.year, when.month, when.day), date_pattern_);
  if (when.hour != 0 || when.minute != 0 || when.second != 0) {
    text += u' ';
    text += locale_.toString(QTime(when.hour, when.minute, when.second), time_pattern_);
  }
  return text.toStdString();
}

}  // namespace orvane
