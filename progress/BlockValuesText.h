#pragma once

#include <string>

#include "progress/ProgressPlot.h"

namespace orvane {

// The plotted blocks as a tab-separated table with a header line, one line per block of every
// run: the run's number and start, the block's first and last trial as the run's own table
// numbers them, for each song kind its trials, escapes and escape rate in percent (empty when the
// block had none of the kind), whether the block holds all N trials, and which decisions were
// counted.
std::string BlockValuesText(const ProgressPlot& plot);

}  // namespace orvane
