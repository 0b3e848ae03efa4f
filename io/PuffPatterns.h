#pragma once

#include <array>

#include "io/DaqInterface.h"

namespace orvane {

// One byte per line of the puffer's port, line 0 first.
using Pattern = std::array<daq::uInt8, 8>;
inline constexpr Pattern kPuffOnPattern = {0, 0, 0, 1, 0, 0, 0, 0};  // the valve is on line 3
inline constexpr Pattern kPuffOffPattern = {0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace orvane
