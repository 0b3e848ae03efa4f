#pragma once

#include <string>
#include <string_view>

namespace orvane {

// Letter case of UTF-8 names is folded as Unicode folds it, for every letter that has a case;
// folded names compare by code point.
std::u32string CaseFolded(std::string_view utf8);
bool EqualIgnoringCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

}  // namespace orvane
