#include "log/Utf8Text.h"

namespace orvane {
namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

constexpr char32_t kReplacement = 0xFFFD;

// Decodes the code point starting at text[pos] and advances pos past it.
char32_t DecodeAt(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) {
    return lead;
  }
  int extra = 0;
  char32_t value = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    value = lead & 0x07;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= text.size() || !IsContinuationByte(text[pos])) {
      return kReplacement;
    }
    value = (value << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
  }
  return value > 0x10FFFF ? kReplacement : value;
}

}  // namespace

std::string_view CutUtf8ToBytes(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) {
    return text;
  }
  std::size_t end = max_bytes;
  while (end > 0 && IsContinuationByte(text[end])) {
    --end;
  }
  return text.substr(0, end);
}

std::string_view CutUtf8ToCharacters(std::string_view text, std::size_t max_characters) {
  std::size_t pos = 0;
  for (std::size_t count = 0; pos < text.size(); ++count) {
    if (count == max_characters) {
      return text.substr(0, pos);
    }
    ++pos;
    while (pos < text.size() && IsContinuationByte(text[pos])) {
      ++pos;
    }
  }
  return text;
}

std::u16string SortKeyOf(std::string_view utf8) {
  std::u16string key;
  key.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t c = DecodeAt(utf8, pos);
    if (c >= U'A' && c <= U'Z') {
      c += U'a' - U'A';
    }
    if (c < 0x10000) {
      key.push_back(static_cast<char16_t>(c));
    } else {
      c -= 0x10000;
      key.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      key.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
  }
  return key;
}

}  // namespace orvane
