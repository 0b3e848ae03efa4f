#pragma once

#include <cstdint>

namespace orvane {

// The program's random generator: a 64-bit linear congruential state whose high half yields
// 31-bit outputs. Its sequence is fixed by its seed, so runs are reproducible.
class RandomGenerator {
 public:
  RandomGenerator() { Seed(1); }

  // L = x, H = 0, then one step of a 32-bit generator on the low half alone.
  void Seed(std::uint32_t x);

  std::int32_t Next();

  // The next output modulo n; 0 (and no step) when n is not positive.
  std::int32_t RandomBelow(std::int32_t n);

  std::uint64_t State() const { return state_; }

 private:
  std::uint64_t state_ = 0;
};

}  // namespace orvane
