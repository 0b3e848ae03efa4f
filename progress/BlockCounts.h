#pragma once

#include <optional>
#include <span>
#include <vector>

#include "progress/TrialRow.h"

namespace orvane {

// The trials of one song kind within a block.
struct KindCount {
  int trials = 0;
  int escaped = 0;

  // Escaped trials as a percentage of the kind's trials; nothing when the block had none of them.
  std::optional<double> EscapePercent() const {
    if (trials == 0) {
      return std::nullopt;
    }
    return 100.0 * escaped / trials;
  }
  friend bool operator==(const KindCount&, const KindCount&) = default;
};

// N consecutive trials of a run, counted by kind. The run's last block may hold fewer while the
// run goes on, or when it ended between two block ends.
struct Block {
  int last_trial = 0;  // the trial number at the block's end, counted from the run's first
  int trials = 0;
  KindCount bad;
  KindCount neutral;
  bool complete = false;

  const KindCount& Of(SongKind kind) const { return kind == kBadSong ? bad : neutral; }
  friend bool operator==(const Block&, const Block&) = default;
};

// Counts the trials of a run into blocks as they are logged: only the last block ever changes.
class BlockCounter {
 public:
  // `first_trial` is the number the run's first trial is drawn at.
  BlockCounter(int block_size, int first_trial) : size_(block_size), next_trial_(first_trial) {}

  void Add(const TrialRow& row);
  const std::vector<Block>& Blocks() const { return blocks_; }

 private:
  int size_;
  int next_trial_;
  std::vector<Block> blocks_;
};

// The blocks of a run's rows, its first trial numbered 1.
std::vector<Block> CountBlocks(std::span<const TrialRow> rows, int block_size);

}  // namespace orvane
