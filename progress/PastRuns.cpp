#include "progress/PastRuns.h"

#include <algorithm>
#include <optional>

namespace orvane {

PastRuns LoadPastRuns(const std::vector<std::filesystem::path>& files,
                      const std::function<bool()>& wanted) {
  PastRuns past;
  for (const std::filesystem::path& file : files) {
    if (wanted && !wanted()) {
      break;
    }
    TrialTable table = LoadTrialTable(file, wanted);
    past.problems.insert(past.problems.end(), table.problems.begin(), table.problems.end());
    if (table.is_trial_table && table.rows.empty()) {
      past.problems.push_back(table.name + " holds no trials.");
    } else if (table.is_trial_table) {
      past.runs.push_back(std::move(table));
    }
  }
  std::stable_sort(past.runs.begin(), past.runs.end(),
                   [](const TrialTable& a, const TrialTable& b) {
                     const std::optional<Moment> start_a = RunStartOf(a.rows.front());
                     const std::optional<Moment> start_b = RunStartOf(b.rows.front());
                     if (start_a && start_b) {
                       return start_a->utc_ms < start_b->utc_ms;
                     }
                     return start_a.has_value() && !start_b.has_value();
                   });
  return past;
}

void PlotRuns(const std::vector<TrialTable>& runs, ProgressPlot& plot) {
  for (const TrialTable& run : runs) {
    plot.BeginRun({.latencies_are_first_leaves = run.latencies_are_first_leaves});
    for (const TrialRow& row : run.rows) {
      plot.Add(row);
    }
  }
}

}  // namespace orvane
