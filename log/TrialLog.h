#pragma once

#include <cstdint>

#include "control/SongListHighlight.h"
#include "control/TrialLogger.h"
#include "control/ValueDisplay.h"
#include "log/Clipboard.h"
#include "log/LocalClock.h"
#include "log/ReportTable.h"
#include "log/TimeStampFormat.h"

namespace orvane {

// One row per decided trial (time stamp, song, escaped) and the four outcome counters, with the
// window's Copy and Clear buttons.
class TrialLog final : public TrialLogger {
 public:
  struct Parts {
    ReportTable& table;
    SongListHighlight& song_lists;
    ValueDisplay& bad_stay;
    ValueDisplay& bad_escape;
    ValueDisplay& good_stay;
    ValueDisplay& good_escape;
    Clipboard& clipboard;
    const LocalClock& clock;
  };

  explicit TrialLog(const Parts& parts, TimeStampFormat stamp_format = TimeStampFormat());

  // Names the columns and starts logging at row 1.
  void InitTrialLog();
  void LogTrial(SongKind kind, bool perch_occupied) override;
  // Throws ClipboardError when the clipboard refuses the text; the log stays as it was.
  void copyClick();
  void clearClick();

  // The stored row the next trial is written to.
  std::int32_t next_row() const { return next_row_; }

 private:
  void NameColumns();
  ValueDisplay* CounterFor(SongKind kind, bool perch_occupied) const;

  Parts parts_;
  TimeStampFormat stamp_format_;
  std::int32_t next_row_ = 0;
};

}  // namespace orvane
