#pragma once

#include "control/TrialLogger.h"
#include "log/ReportTable.h"
#include "log/TrialJournal.h"
#include "log/TrialLog.h"

namespace orvane {

// The trial log as the controller sees it: each trial goes into the window's log, then its row,
// as the line Copy gives it, into the run's journal. Clear and sorting touch only the window's
// log, so the journal keeps every trial of the run in logging order.
class JournaledLog final : public TrialLogger {
 public:
  JournaledLog(TrialLog& log, const ReportTable& table, TrialJournal& journal)
      : log_(log), table_(table), journal_(journal) {}

  void LogTrial(SongKind kind, bool perch_occupied) override;

 private:
  TrialLog& log_;
  const ReportTable& table_;
  TrialJournal& journal_;
};

}  // namespace orvane
