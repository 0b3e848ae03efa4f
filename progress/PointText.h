#pragma once

#include <string>

#include "progress/ProgressPlot.h"

namespace orvane {

// What a pointer over the charts is told, one fact a line.
// The trial at `x` on the trial axis: its number in its run, its song and what the bird did.
std::string TrialPointText(const ProgressPlot& plot, int x);
// A block's escape rate for one song kind, and which trials it holds.
std::string BlockPointText(const ProgressPlot& plot, int run, const Block& block, SongKind kind);

// Each run's label over the charts: its start to the minute as the lab's clock showed it, with
// its offset from UTC where the runs were not all begun at the same offset; "run N" where the
// start is not known.
std::vector<std::string> RunLabels(const std::vector<PlottedRun>& runs);

}  // namespace orvane
