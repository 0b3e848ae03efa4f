#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane {

// The longest prefix of `text` that fits in `max_bytes` and ends on a UTF-8 character boundary.
std::string_view CutUtf8ToBytes(std::string_view text, std::size_t max_bytes);

// The first `max_characters` characters (code points) of `text`.
std::string_view CutUtf8ToCharacters(std::string_view text, std::size_t max_characters);

// The sort key of a cell: its UTF-16 code units with A to Z folded to a to z. Malformed bytes
// become U+FFFD so that every cell still has a key.
std::u16string SortKeyOf(std::string_view utf8);

}  // namespace orvane
