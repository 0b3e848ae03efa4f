#include "progress/ProgressPlot.h"

#include <algorithm>
#include <charconv>

namespace orvane {

namespace {

// The shortest text that reads back as the value: 0.25, not 0.250000.
std::string Shortest(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : std::string();
}

bool Differs(const std::optional<double>& before, const std::optional<double>& now) {
  return before && now && *before != *now;
}

}  // namespace

ProgressPlot::ProgressPlot(int block_size, Counting counting)
    : block_size_(block_size), counting_(counting) {}

void ProgressPlot::BeginRun(RunInfo info) {
  run_begun_ = false;
  if (run_infos_.size() > run_starts_.size()) {
    run_infos_.back() = info;
  } else {
    run_infos_.push_back(info);
  }
}

void ProgressPlot::Add(const TrialRow& row) {
  if (!run_begun_) {
    run_begun_ = true;
    run_starts_.push_back(rows_.size());
    if (run_infos_.size() < run_starts_.size()) {
      run_infos_.emplace_back();
    }
  }
  const int run = static_cast<int>(run_starts_.size()) - 1;
  const auto in_run = static_cast<std::int64_t>(rows_.size() - run_starts_.back()) + 1;
  placed_.push_back({run, row.trial.value_or(in_run)});
  songs_ += row.song_decision <= 1 ? 1 : 0;
  rows_.push_back(row);
  Plot(rows_.size() - 1);
}

void ProgressPlot::SetBlockSize(int block_size) {
  block_size_ = block_size;
  Clear();
}

void ProgressPlot::SetCounting(Counting counting) {
  counting_ = counting;
  Clear();
}

bool ProgressPlot::AnyLatenciesAreFirstLeaves() const {
  return std::any_of(runs_.begin(), runs_.end(),
                     [](const PlottedRun& run) { return run.info.latencies_are_first_leaves; });
}

void ProgressPlot::Clear() {
  runs_.clear();
  states_.clear();
  bad_ = {};
  neutral_ = {};
  windows_.clear();
  changes_.clear();
  bad_total_ = {};
  neutral_total_ = {};
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Plot(i);
  }
}

void ProgressPlot::Plot(std::size_t index) {
  const TrialRow& row = rows_[index];
  const int x = static_cast<int>(index) + 1;
  if (runs_.size() < run_starts_.size() && run_starts_[runs_.size()] == index) {
    const auto window = static_cast<std::size_t>(block_size_);
    runs_.push_back({x, x, RunStartOf(row), run_infos_[runs_.size()], BlockCounter(block_size_)});
    states_.push_back({RunningMedian(window), RunningMedian(window), {}});
  }
  PlottedRun& run = runs_.back();
  RunState& state = states_.back();
  const int run_index = static_cast<int>(runs_.size()) - 1;
  run.last_x = x;
  NoteChanges(row, x);
  const std::optional<std::int32_t> window = state.windows.Next(row);
  if (counting_ == Counting::kFirstDecisions && row.song_decision > 1) {
    return;
  }
  run.blocks.Add(row, x, placed_[index].trial);
  KindCount& total = row.kind == kBadSong ? bad_total_ : neutral_total_;
  ++total.trials;
  total.escaped += row.escaped ? 1 : 0;
  if (window) {
    windows_.push_back({run_index, x, static_cast<double>(*window)});
  }

  LatencyPlot& plot = row.kind == kBadSong ? bad_ : neutral_;
  std::optional<std::int32_t> latency = row.latency_ms;
  if (!latency && run.info.latencies_are_first_leaves && row.escaped) {
    latency = row.left_ms;
  }
  if (CameBack(row)) {
    if (const auto left = row.left_ms ? row.left_ms : latency) {
      plot.returned.push_back({run_index, x, static_cast<double>(*left)});
    }
  } else if (latency) {
    plot.latencies.push_back({run_index, x, static_cast<double>(*latency)});
    RunningMedian& median = row.kind == kBadSong ? state.bad : state.neutral;
    plot.medians.push_back({run_index, x, median.Add(*latency)});
  } else if (!row.escaped) {
    plot.stays.push_back({run_index, x, 0});
  }
}

void ProgressPlot::NoteChanges(const TrialRow& row, int x) {
  if (x < 2) {
    return;
  }
  const TrialRow& before = rows_[static_cast<std::size_t>(x) - 2];
  std::string text;
  const auto note = [&text](const std::string& what) { text += (text.empty() ? "" : ", ") + what; };
  if (Differs(before.puff_delay_s, row.puff_delay_s)) {
    note("delay " + Shortest(*row.puff_delay_s) + " s");
  }
  if (Differs(before.puff_duration_s, row.puff_duration_s)) {
    note("duration " + Shortest(*row.puff_duration_s) + " s");
  }
  if (Differs(before.odds, row.odds)) {
    note("odds " + Shortest(*row.odds));
  }
  if (!text.empty()) {
    changes_.push_back({static_cast<int>(runs_.size()) - 1, x, text});
  }
}

}  // namespace orvane
