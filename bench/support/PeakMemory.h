#pragma once

#include <cstddef>

namespace orvane::bench {

// The process's peak resident memory so far, in bytes (0 where the platform does not tell).
std::size_t PeakResidentBytes();

// The process's resident memory now, in bytes (0 where the platform does not tell).
std::size_t CurrentResidentBytes();

}  // namespace orvane::bench
