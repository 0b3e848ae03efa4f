#pragma once

#include <cstdint>
#include <optional>

#include "progress/TrialRow.h"

namespace orvane {

// The number of ticks a song's count must reach for its decision at this puff delay: the least
// count above ten times the delay, compared exactly as the trial controller does.
std::int32_t DecisionCount(double puff_delay_s);

// How long the bird had to escape in each trial of a run: from the song's start to the decision,
// as the trial controller times them. A song's first decision comes one tick less than the
// decision count after its start, less the ticks the previous song's puff phase left counted
// after its last decision (unless those already reach the count, when a decision without a song
// spends them first); each further decision of the song one decision count later.
class DecisionWindows {
 public:
  // The row's window in milliseconds, given the rows of its run one after another from the first;
  // nothing where the row, or a row before it that the window depends on, lacks its settings.
  std::optional<std::int32_t> Next(const TrialRow& row);

 private:
  std::optional<std::int32_t> carried_ = 0;  // ticks counted after the last song's last decision
  std::optional<std::int32_t> song_first_;   // ticks from the current song's start to its first
};

}  // namespace orvane
