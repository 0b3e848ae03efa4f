#pragma once

#include <string>

namespace orvane {

// The system's words for one of its error codes (errno on Linux, GetLastError() on Windows) in
// UTF-8, without a final full stop, so that a sentence of the caller's can go on after them.
std::string SystemText(unsigned long error);

}  // namespace orvane
