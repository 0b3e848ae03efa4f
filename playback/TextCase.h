#pragma once

#include <string_view>

namespace orvane {

// Letter case is folded for ASCII letters only; other bytes of UTF-8 names compare as they are.
bool EqualIgnoringCase(std::string_view a, std::string_view b);
bool LessIgnoringCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

}  // namespace orvane
