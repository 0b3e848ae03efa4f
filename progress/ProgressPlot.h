#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "progress/BlockCounts.h"
#include "progress/RunningMedian.h"
#include "progress/TrialRow.h"

namespace orvane {

// One plotted value: `x` is the trial number across every run drawn, counted from 1.
struct PlotPoint {
  int run = 0;
  int x = 0;
  double y = 0;
  friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// The latency chart's values for one song kind.
struct LatencyPlot {
  std::vector<PlotPoint> latencies;  // trials with a latency, in milliseconds
  std::vector<PlotPoint> medians;    // the running median of the kind's last N latencies
  std::vector<PlotPoint> stays;      // trials where the bird stayed until the decision; y is 0
};

// A run as drawn: where its trials begin on the trial axis and when it began.
struct PlottedRun {
  int first_trial = 1;
  std::optional<Moment> start;  // from its first row; nothing before it, or when the row cannot say
  BlockCounter blocks;
};

// Everything the progress charts draw, for runs drawn one after another: the escape rate per block
// of N trials and the latencies with their running medians. Rows arrive one at a time and only the
// values they touch change, so a long run costs no more per trial than a short one.
class ProgressPlot {
 public:
  explicit ProgressPlot(int block_size);

  // Rows added later belong to a new run; its blocks and medians start afresh.
  void BeginRun();
  // A row of the current run (the first run begins by itself).
  void Add(const TrialRow& row);
  // Counts every row again in blocks of the new size.
  void SetBlockSize(int block_size);

  int BlockSize() const { return block_size_; }
  int Trials() const { return static_cast<int>(rows_.size()); }
  const std::vector<PlottedRun>& Runs() const { return runs_; }
  const LatencyPlot& Latency(SongKind kind) const { return kind == kBadSong ? bad_ : neutral_; }
  // Every trial of the kind in every run.
  const KindCount& Total(SongKind kind) const {
    return kind == kBadSong ? bad_total_ : neutral_total_;
  }

 private:
  struct Medians {
    RunningMedian bad;
    RunningMedian neutral;
  };

  // Plots the row at `index` of rows_ into the run it begins or the last one.
  void Plot(std::size_t index);

  int block_size_;
  std::vector<TrialRow> rows_;
  std::vector<std::size_t> run_starts_;  // index into rows_ of each run's first row
  bool run_begun_ = false;
  std::vector<PlottedRun> runs_;
  std::vector<Medians> medians_;
  LatencyPlot bad_;
  LatencyPlot neutral_;
  KindCount bad_total_;
  KindCount neutral_total_;
};

}  // namespace orvane
