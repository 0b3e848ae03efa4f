#include "control/ExactProduct.h"

#include <cmath>

namespace orvane {

int CompareExactProduct(double a, double b, std::int32_t n) {
  // a × b = rounded + remainder exactly; with round-to-nearest the remainder never reaches the
  // next representable value, so it decides only when the rounded product equals n.
  const double rounded = a * b;
  const double remainder = std::fma(a, b, -rounded);
  const double count = static_cast<double>(n);
  if (rounded != count) {
    return rounded < count ? -1 : 1;
  }
  return remainder < 0 ? -1 : (remainder > 0 ? 1 : 0);
}

}  // namespace orvane
