#pragma once

#include <string>

#include "progress/ProgressPlot.h"

namespace orvane {

// The plotted blocks as a tab-separated table with a header line, one line per block of every
// run: the run's number and start, the block's trials (numbered as on the chart), and for each
// song kind its trials, escapes and escape rate in percent (empty when the block had none of the
// kind). The last column says whether the block holds all N trials.
std::string BlockValuesText(const ProgressPlot& plot);

}  // namespace orvane
