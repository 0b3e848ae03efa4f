#pragma once

#include "control/TrialLogger.h"
#include "log/LocalClock.h"
#include "progress/LiveRun.h"

// Hands each trial the controller logs on to the live run, once the log has it: its song and
// whether the bird escaped, stamped with the local clock. The log does not see when the bird left
// the perch, so these rows carry no latency.
class LoggedTrialFeed final : public orvane::TrialLogger {
 public:
  LoggedTrialFeed(orvane::TrialLogger& log, orvane::LiveRun& run, const orvane::LocalClock& clock,
                  const orvane::LocalDateTime& run_start);

  void LogTrial(orvane::SongKind kind, bool perch_occupied) override;

 private:
  orvane::TrialLogger& log_;
  orvane::LiveRun& run_;
  const orvane::LocalClock& clock_;
  orvane::LocalDateTime run_start_;
};
