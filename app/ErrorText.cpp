#include "app/ErrorText.h"

#include <algorithm>

namespace orvane {

namespace {

// Walks one level of a nested chain: keeps this level's message when it has one, then goes on
// to the exception it wraps, if any.
void CollectInnermostMessage(const std::exception_ptr& thrown, QString& innermost) {
  try {
    std::rethrow_exception(thrown);
  } catch (const std::exception& e) {
    const QString message = QString::fromUtf8(e.what());
    if (!message.isEmpty()) {
      innermost = message;
    }
    if (const auto* nested = dynamic_cast<const std::nested_exception*>(&e)) {
      if (const std::exception_ptr inner = nested->nested_ptr()) {
        CollectInnermostMessage(inner, innermost);
      }
    }
  } catch (...) {
    // Not a std::exception: it has no message to offer.
  }
}

}  // namespace

QString ErrorBoxCaption(const QString& executablePath) {
  const qsizetype separator =
      std::max(executablePath.lastIndexOf(u'/'), executablePath.lastIndexOf(u'\\'));
  QString name = executablePath.mid(separator + 1);
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot > 0) {
    name.truncate(dot);
  }
  return name.left(1) + name.mid(1).toLower();
}

QString ExceptionMessage(const std::exception_ptr& thrown) {
  QString innermost;
  if (thrown) {
    CollectInnermostMessage(thrown, innermost);
  }
  return innermost;
}

QString WithFinalPeriod(const QString& text) {
  if (!text.isEmpty() && text.back().unicode() > u'.') {
    return text + u'.';
  }
  return text;
}

QString ErrorBoxText(const std::exception_ptr& thrown) {
  return WithFinalPeriod(ExceptionMessage(thrown));
}

}  // namespace orvane
