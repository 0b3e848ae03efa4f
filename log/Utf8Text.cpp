#include "log/Utf8Text.h"

namespace orvane {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    text.push_back(static_cast<char>(0xC0 | (c >> 6)));
    text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    text.push_back(static_cast<char>(0xE0 | (c >> 12)));
    text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xF0 | (c >> 18)));
    text.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// A name of the system's own kind: bytes on Linux, UTF-16 units on Windows.
template <typename Unit>
std::string TextOfName(std::basic_string_view<Unit> name) {
  if constexpr (sizeof(Unit) == 1) {
    return WithReplacementCharacters(
        std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
  } else {
    std::string text;
    text.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
      const auto unit = static_cast<char32_t>(name[i]) & 0xFFFF;
      const bool high = unit >= 0xD800 && unit < 0xDC00;
      const auto next = i + 1 < name.size() ? static_cast<char32_t>(name[i + 1]) & 0xFFFF : 0;
      if (high && next >= 0xDC00 && next < 0xE000) {
        AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        ++i;
      } else if (unit >= 0xD800 && unit < 0xE000) {
        text += kReplacementUtf8;
      } else {
        AppendUtf8(text, unit);
      }
    }
    return text;
  }
}

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

std::size_t Utf8CharacterLength(std::string_view text, std::size_t pos) {
  const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    return 1;
  }
  // The range the second byte must fall in narrows for the leads that would otherwise allow an
  // overlong form, a surrogate or a value beyond U+10FFFF.
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : low;
    high = lead == 0xED ? 0x9F : high;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : low;
    high = lead == 0xF4 ? 0x8F : high;
  } else {
    return 0;
  }
  if (pos + length > text.size() || byte(pos + 1) < low || byte(pos + 1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuationByte(text[pos + i])) {
      return 0;
    }
  }
  return length;
}

std::string WithReplacementCharacters(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8CharacterLength(text, pos);
    if (length == 0) {
      valid += kReplacementUtf8;
      ++pos;
    } else {
      valid.append(text, pos, length);
      pos += length;
    }
  }
  return valid;
}

std::string PathForPeople(const std::filesystem::path& path) {
  return TextOfName(std::basic_string_view<std::filesystem::path::value_type>(path.native()));
}

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
