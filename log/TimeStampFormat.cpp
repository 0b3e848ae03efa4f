#include "log/TimeStampFormat.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <vector>

namespace orvane {

namespace {

struct Token {
  enum class Kind { kField, kQuoted, kSeparator } kind;
  QString text;
};

// Pattern fields are ASCII letters; any other letter is text of the time, like "時".
bool IsFieldLetter(QChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsKeptFieldLetter(QChar c) {
  return c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u'a' || c == u'A' || c == u'p' ||
         c == u'P';
}

// Fields, quoted text and separators of a pattern; the letters of dropped fields are left out.
std::vector<Token> KeptTokens(const QString& pattern) {
  std::vector<Token> tokens;
  for (qsizetype i = 0; i < pattern.size();) {
    const QChar c = pattern[i];
    qsizetype end = i + 1;
    if (c == u'\'') {
      while (end < pattern.size() && pattern[end] != u'\'') {
        ++end;
      }
      end = std::min(end + 1, pattern.size());
      tokens.push_back({Token::Kind::kQuoted, pattern.mid(i, end - i)});
    } else if (IsFieldLetter(c)) {
      while (end < pattern.size() && pattern[end] == c) {
        ++end;
      }
      // Zone, milliseconds, and letters Qt prints as they stand (day periods it lacks).
      if (IsKeptFieldLetter(c)) {
        tokens.push_back({Token::Kind::kField, pattern.mid(i, end - i)});
      }
    } else {
      while (end < pattern.size() && !IsFieldLetter(pattern[end]) && pattern[end] != u'\'') {
        ++end;
      }
      if (!tokens.empty() && tokens.back().kind == Token::Kind::kSeparator) {
        tokens.back().text += pattern.mid(i, end - i);
      } else {
        tokens.push_back({Token::Kind::kSeparator, pattern.mid(i, end - i)});
      }
    }
    i = end;
  }
  return tokens;
}

}  // namespace

QString TimeFieldsOnly(const QString& time_pattern) {
  std::vector<Token> tokens = KeptTokens(time_pattern);
  // Separators before the first and after the last kept part belonged to what was dropped.
  while (!tokens.empty() && tokens.back().kind == Token::Kind::kSeparator) {
    tokens.pop_back();
  }
  QString result;
  for (const Token& token : tokens) {
    if (token.kind == Token::Kind::kSeparator && result.isEmpty()) {
      continue;
    }
    QString text = token.text;
    if (token.kind == Token::Kind::kSeparator) {
      // A dropped field between two kept ones leaves its brackets empty and its spaces doubled.
      for (const char* empty : {"()", "[]", "( )", "[ ]"}) {
        text.remove(QLatin1String(empty));
      }
      while (text.contains(QStringLiteral("  "))) {
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
      }
    }
    result += text;
  }
  return result;
}

TimeStampFormat::TimeStampFormat(const QLocale& locale)
    : TimeStampFormat(locale, locale.dateFormat(QLocale::ShortFormat),
                      locale.timeFormat(QLocale::LongFormat)) {}

TimeStampFormat::TimeStampFormat(const QLocale& locale, const QString& date_pattern,
                                 const QString& time_pattern)
    : locale_(locale), date_pattern_(date_pattern), time_pattern_(TimeFieldsOnly(time_pattern)) {}

std::string TimeStampFormat::Format(const LocalDateTime& when) const {
  QString text = locale_.toString(QDate(when.year, when.month, when.day), date_pattern_);
  if (when.hour != 0 || when.minute != 0 || when.second != 0) {
    text += u' ';
    text += locale_.toString(QTime(when.hour, when.minute, when.second), time_pattern_);
  }
  return text.toStdString();
}

}  // namespace orvane
