#include "ui/window/LoggedTrialFeed.h"

#include "progress/Moment.h"

LoggedTrialFeed::LoggedTrialFeed(orvane::TrialLogger& log, orvane::LiveRun& run,
                                 const orvane::LocalClock& clock,
                                 const orvane::LocalDateTime& run_start)
    : log_(log), run_(run), clock_(clock), run_start_(run_start) {}

void LoggedTrialFeed::LogTrial(orvane::SongKind kind, bool perch_occupied) {
  log_.LogTrial(kind, perch_occupied);
  // The local clock tells no offset: read at offset 0, the run's own times still show as the lab's
  // clock showed them.
  const orvane::Moment now = orvane::MomentOf(clock_.Now(), 0);
  const orvane::Moment start = orvane::MomentOf(run_start_, 0);
  orvane::TrialRow row;
  row.kind = kind;
  row.escaped = !perch_occupied;
  row.logged_at = now;
  row.run_seconds = static_cast<double>(now.utc_ms - start.utc_ms) / 1000.0;
  run_.Add(row);
}
