#include "progress/BlockCounts.h"

namespace orvane {

void BlockCounter::Add(const TrialRow& row) {
  if (blocks_.empty() || blocks_.back().complete) {
    blocks_.emplace_back();
  }
  Block& block = blocks_.back();
  block.last_trial = next_trial_++;
  ++block.trials;
  KindCount& count = row.kind == kBadSong ? block.bad : block.neutral;
  ++count.trials;
  count.escaped += row.escaped ? 1 : 0;
  block.complete = block.trials == size_;
}

std::vector<Block> CountBlocks(std::span<const TrialRow> rows, int block_size) {
  BlockCounter counter(block_size, 1);
  for (const TrialRow& row : rows) {
    counter.Add(row);
  }
  return counter.Blocks();
}

}  // namespace orvane
