#include "progress/BlockCounts.h"

namespace orvane {

void BlockCounter::Add(const TrialRow& row, int x, std::int64_t trial) {
  if (blocks_.empty() || blocks_.back().complete) {
    blocks_.emplace_back();
    blocks_.back().first_x = x;
    blocks_.back().first_trial = trial;
  }
  Block& block = blocks_.back();
  block.last_x = x;
  block.last_trial = trial;
  ++block.trials;
  KindCount& count = row.kind == kBadSong ? block.bad : block.neutral;
  ++count.trials;
  count.escaped += row.escaped ? 1 : 0;
  block.complete = block.trials == size_;
}

}  // namespace orvane
