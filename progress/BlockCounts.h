#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "progress/TrialRow.h"

namespace orvane {

// The counted trials of one song kind within a block.
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

// N consecutive counted trials of a run, by kind. The run's last block may hold fewer while the
// run goes on, or when it ended between two block ends.
struct Block {
  int first_x = 0;  // where its first and last trial stand on the trial axis of the charts
  int last_x = 0;
  std::int64_t first_trial = 0;  // the same two trials as the run's own table numbers them
  std::int64_t last_trial = 0;
  int trials = 0;
  KindCount bad;
  KindCount neutral;
  bool complete = false;

  const KindCount& Of(SongKind kind) const { return kind == kBadSong ? bad : neutral; }
  friend bool operator==(const Block&, const Block&) = default;
};

// Counts a run's trials into blocks as they are logged: only the last block ever changes.
class BlockCounter {
 public:
  explicit BlockCounter(int block_size) : size_(block_size) {}

  // A counted trial, drawn at `x`, numbered `trial` in its run.
  void Add(const TrialRow& row, int x, std::int64_t trial);
  const std::vector<Block>& Blocks() const { return blocks_; }

 private:
  int size_;
  std::vector<Block> blocks_;
};

}  // namespace orvane
