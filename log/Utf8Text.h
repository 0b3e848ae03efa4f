#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvane {

// The longest prefix of `text` that fits in `max_bytes` and ends on a UTF-8 character boundary.
std::string_view CutUtf8ToBytes(std::string_view text, std::size_t max_bytes);

// The first `max_characters` characters (code points) of `text`.
std::string_view CutUtf8ToCharacters(std::string_view text, std::size_t max_characters);

// How many bytes the well-formed UTF-8 character at text[pos] takes; 0 when the bytes there are
// none (a stray continuation byte, a character cut short, an overlong form, a surrogate, a value
// beyond U+10FFFF), as a strict decoder such as Python's sees it.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t pos);

// `text` with each byte that is not part of a well-formed character replaced by U+FFFD.
std::string WithReplacementCharacters(std::string_view text);

// A path as UTF-8 text for people to read, whatever the system's names are made of: bytes that
// are not UTF-8 (Linux) or UTF-16 halves without their pair (Windows) become U+FFFD.
std::string PathForPeople(const std::filesystem::path& path);

// The sort key of a cell: its UTF-16 code units with A to Z folded to a to z. Malformed bytes
// become U+FFFD so that every cell still has a key.
std::u16string SortKeyOf(std::string_view utf8);

}  // namespace orvane
