#include "progress/DecisionWindow.h"

#include <algorithm>
#include <cmath>

#include "control/ExactProduct.h"

namespace orvane {

namespace {

constexpr std::int32_t kTickMs = 100;

}  // namespace

std::int32_t DecisionCount(double puff_delay_s) {
  auto count = static_cast<std::int32_t>(std::max(0.0, std::floor(10.0 * puff_delay_s)));
  // The rounded product may sit one off the exact one; the exact comparison settles it.
  while (count > 0 && CompareExactProduct(10.0, puff_delay_s, count - 1) < 0) {
    --count;
  }
  while (CompareExactProduct(10.0, puff_delay_s, count) >= 0) {
    ++count;
  }
  return count;
}

std::optional<std::int32_t> DecisionWindows::Next(const TrialRow& row) {
  if (!row.puff_delay_s || !row.puff_duration_s || *row.puff_delay_s < 0 ||
      *row.puff_duration_s < 0) {
    carried_.reset();
    song_first_.reset();
    return std::nullopt;
  }
  const std::int32_t count = DecisionCount(*row.puff_delay_s);
  if (row.song_decision <= 1) {
    song_first_.reset();
    // A count left that already reaches a lowered decision count is spent on a decision without
    // a song on the next tick, and the song counts from nothing.
    if (carried_) {
      song_first_ = *carried_ >= count ? count - 1 : count - 1 - *carried_;
    }
  }
  // The puff phase ends the duration after the song's first decision; its decisions fall every
  // decision count, so the last leaves the rest of the division counted for the next song.
  const auto duration = static_cast<std::int32_t>(std::lround(10.0 * *row.puff_duration_s));
  carried_ = duration % count;
  if (!song_first_) {
    return std::nullopt;
  }
  return (*song_first_ + (std::max(1, row.song_decision) - 1) * count) * kTickMs;
}

}  // namespace orvane
