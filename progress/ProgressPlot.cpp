#include "progress/ProgressPlot.h"

#include <cstddef>

namespace orvane {

ProgressPlot::ProgressPlot(int block_size) : block_size_(block_size) {}

void ProgressPlot::BeginRun() {
  run_begun_ = false;
}

void ProgressPlot::Add(const TrialRow& row) {
  if (!run_begun_) {
    run_begun_ = true;
    run_starts_.push_back(rows_.size());
  }
  rows_.push_back(row);
  Plot(rows_.size() - 1);
}

void ProgressPlot::SetBlockSize(int block_size) {
  block_size_ = block_size;
  runs_.clear();
  medians_.clear();
  bad_ = {};
  neutral_ = {};
  bad_total_ = {};
  neutral_total_ = {};
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Plot(i);
  }
}

void ProgressPlot::Plot(std::size_t index) {
  const TrialRow& row = rows_[index];
  const int trial = static_cast<int>(index) + 1;
  if (runs_.size() < run_starts_.size() && run_starts_[runs_.size()] == index) {
    runs_.push_back({trial, RunStartOf(row), BlockCounter(block_size_, trial)});
    const auto window = static_cast<std::size_t>(block_size_);
    medians_.push_back({RunningMedian(window), RunningMedian(window)});
  }
  const int run = static_cast<int>(runs_.size()) - 1;
  runs_.back().blocks.Add(row);
  KindCount& total = row.kind == kBadSong ? bad_total_ : neutral_total_;
  ++total.trials;
  total.escaped += row.escaped ? 1 : 0;
  LatencyPlot& plot = row.kind == kBadSong ? bad_ : neutral_;
  if (row.latency_ms) {
    plot.latencies.push_back({run, trial, static_cast<double>(*row.latency_ms)});
    RunningMedian& median = row.kind == kBadSong ? medians_.back().bad : medians_.back().neutral;
    plot.medians.push_back({run, trial, median.Add(*row.latency_ms)});
  } else if (!row.escaped) {
    plot.stays.push_back({run, trial, 0});
  }
}

}  // namespace orvane
