#include "control/RandomGenerator.h"

namespace orvane {

void RandomGenerator::Seed(std::uint32_t x) {
  const std::uint32_t low = x * 22695477u + 1u;
  state_ = low;
}

std::int32_t RandomGenerator::Next() {
  state_ = state_ * 0x0000015A00004E35ull + 1u;
  return static_cast<std::int32_t>((state_ >> 32) & 0x7FFFFFFFu);
}

std::int32_t RandomGenerator::RandomBelow(std::int32_t n) {
  if (n <= 0) {
    return 0;
  }
  return Next() % n;
}

}  // namespace orvane
