#pragma once

#include <QString>
#include <exception>

namespace orvane {

// The caption of every error box: the executable's name without folder and extension, its
// first character kept, the rest in lower case. Either kind of path separator is understood.
QString ErrorBoxCaption(const QString& executablePath);

// The message an error box shows for a thrown object: for a chain of nested exceptions the
// innermost message that is not empty. Anything thrown that is not a std::exception gives "".
QString ExceptionMessage(const std::exception_ptr& thrown);

// Appends "." to a text that is not empty and whose last character comes after "." in the
// character table, so a sentence never ends without one.
QString WithFinalPeriod(const QString& text);

// What the error box shows for `thrown`.
QString ErrorBoxText(const std::exception_ptr& thrown);

}  // namespace orvane
