#include "playback/TextCase.h"

#include <QString>

namespace orvane {

std::u32string CaseFolded(std::string_view utf8) {
  // Code points rather than UTF-16 units: the two orders differ above U+FFFF.
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
      .toCaseFolded()
      .toStdU32String();
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return CaseFolded(a) == CaseFolded(b);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  const std::u32string folded = CaseFolded(text);
  const std::u32string end = CaseFolded(suffix);
  return folded.size() >= end.size() &&
         folded.compare(folded.size() - end.size(), end.size(), end) == 0;
}

}  // namespace orvane
