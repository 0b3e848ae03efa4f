#pragma once

#include "control/SongKind.h"

namespace orvane {

// Records the outcome of one decided trial.
class TrialLogger {
 public:
  virtual ~TrialLogger() = default;

  virtual void LogTrial(SongKind kind, bool perch_occupied) = 0;
};

}  // namespace orvane
