#pragma once

#include <string>

namespace orvane::testing {

// What any other program reads from the Windows clipboard: its Unicode text as the system holds
// it, read without Qt; empty when there is none.
std::wstring UnicodeTextOnTheClipboard();

}  // namespace orvane::testing
