#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "progress/BlockCounts.h"
#include "progress/DecisionWindow.h"
#include "progress/RunningMedian.h"
#include "progress/TrialRow.h"

namespace orvane {

// Which rows the escape rates and latencies count. A song decided more than once (a puff delay
// shorter than the puff) is one trial, counted at its first decision; every decision may be shown
// instead.
enum class Counting { kFirstDecisions, kEveryDecision };

// One plotted value: `x` is the place on the trial axis, the trial's row counted from 1 across
// every run drawn.
struct PlotPoint {
  int run = 0;
  int x = 0;
  double y = 0;
  friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// The latency chart's values for one song kind, over the counted trials.
struct LatencyPlot {
  std::vector<PlotPoint> latencies;  // escapes, in milliseconds from the song's start
  std::vector<PlotPoint> medians;    // the running median of the kind's last N escapes
  // The bird left and was back before the decision: the first leave, apart from the escapes.
  std::vector<PlotPoint> returned;
  std::vector<PlotPoint> stays;  // the bird stayed on the perch until the decision; y is 0
};

// A change of the puff delay, the puff duration or the odds, at the first trial that had it.
struct SettingChange {
  int run = 0;
  int x = 0;
  std::string text;  // the new values, "delay 0.5 s, odds 0.25"
  friend bool operator==(const SettingChange&, const SettingChange&) = default;
};

// What is known of a run beyond its rows.
struct RunInfo {
  bool ongoing = false;  // the program's own run, still being logged
  // From a table written before escapes were told apart from a bird that left and came back: the
  // first leave of its escaped trials is drawn as their latency.
  bool latencies_are_first_leaves = false;
};

// A run as drawn: where its trials stand on the trial axis and when it began.
struct PlottedRun {
  int first_x = 1;
  int last_x = 0;
  std::optional<Moment> start;  // from its first row; nothing when the row cannot say
  RunInfo info;
  BlockCounter blocks;
};

// Everything the progress charts draw, for runs drawn one after another: the escape rate per block
// of N trials, the latencies with their running medians and the time the bird had to escape, and
// where the settings changed. Rows arrive one at a time and only the values they touch change, so
// a long run costs no more per trial than a short one; every vector only grows until the block
// size or the counting changes.
class ProgressPlot {
 public:
  explicit ProgressPlot(int block_size, Counting counting = Counting::kFirstDecisions);

  // Rows added later belong to a new run; its blocks, medians and trial numbers start afresh.
  void BeginRun(RunInfo info = {});
  // A row of the current run (a first run begins by itself).
  void Add(const TrialRow& row);
  // Counts every row again.
  void SetBlockSize(int block_size);
  void SetCounting(Counting counting);

  int BlockSize() const { return block_size_; }
  Counting CountingOf() const { return counting_; }
  int Decisions() const { return static_cast<int>(rows_.size()); }
  int Songs() const { return songs_; }
  // The row at `x` on the trial axis, its run and its number in that run.
  const TrialRow& RowAt(int x) const { return rows_.at(static_cast<std::size_t>(x) - 1); }
  int RunAt(int x) const { return placed_.at(static_cast<std::size_t>(x) - 1).run; }
  std::int64_t TrialAt(int x) const { return placed_.at(static_cast<std::size_t>(x) - 1).trial; }
  const std::vector<PlottedRun>& Runs() const { return runs_; }
  const LatencyPlot& Latency(SongKind kind) const { return kind == kBadSong ? bad_ : neutral_; }
  // Each counted trial's decision window in milliseconds, where its settings tell it.
  const std::vector<PlotPoint>& DecisionWindows() const { return windows_; }
  const std::vector<SettingChange>& Changes() const { return changes_; }
  // The counted trials of the kind in every run.
  const KindCount& Total(SongKind kind) const {
    return kind == kBadSong ? bad_total_ : neutral_total_;
  }
  bool AnyLatenciesAreFirstLeaves() const;

 private:
  struct Placed {
    int run = 0;
    std::int64_t trial = 0;
  };
  // What goes on from one row of a run to the next.
  struct RunState {
    RunningMedian bad;
    RunningMedian neutral;
    orvane::DecisionWindows windows;
  };

  void Clear();
  // Plots the row at `index` of rows_ into the run it begins or the last one.
  void Plot(std::size_t index);
  void NoteChanges(const TrialRow& row, int x);

  int block_size_;
  Counting counting_;
  std::vector<TrialRow> rows_;
  std::vector<std::size_t> run_starts_;  // index into rows_ of each run's first row
  std::vector<RunInfo> run_infos_;
  bool run_begun_ = false;
  std::vector<Placed> placed_;
  std::vector<PlottedRun> runs_;
  std::vector<RunState> states_;
  LatencyPlot bad_;
  LatencyPlot neutral_;
  std::vector<PlotPoint> windows_;
  std::vector<SettingChange> changes_;
  KindCount bad_total_;
  KindCount neutral_total_;
  int songs_ = 0;
};

}  // namespace orvane
