#pragma once

#include <cstdint>

namespace orvane {

// Compares the exact product a × b with the integer n: negative, zero or positive as a × b is
// below, equal to or above n. No rounding of the product can move a tick decision or an odds
// draw, whatever the platform's long double is.
int CompareExactProduct(double a, double b, std::int32_t n);

}  // namespace orvane
