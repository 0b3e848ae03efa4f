#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "progress/ProgressPlot.h"
#include "progress/TrialTableReader.h"

namespace orvane {

// Runs read from their trial tables, to be drawn one after another.
struct PastRuns {
  std::vector<TrialTable> runs;       // the tables with rows, earliest start first
  std::vector<std::string> problems;  // of every file, in the order given
};

// Reads each file; a table that cannot be read is told and the others are kept. Runs are put in
// the order they began, whatever the order of the files; a run whose start cannot be told goes
// last. The reading stops early once `wanted` says false.
PastRuns LoadPastRuns(const std::vector<std::filesystem::path>& files,
                      const std::function<bool()>& wanted = {});

// The runs, in their order, into an empty plot.
void PlotRuns(const std::vector<TrialTable>& runs, ProgressPlot& plot);

}  // namespace orvane
