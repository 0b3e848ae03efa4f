#pragma once

#include <string>

#include "log/LocalClock.h"

namespace orvane {

// The name stem a run's files share: the run's start as "YYYY-MM-DD HH.MM.SS", then " (n)" for
// the n-th try when n > 1. No character that any system forbids in a file name.
std::string RunFileStem(const LocalDateTime& run_start, int attempt = 1);

}  // namespace orvane
