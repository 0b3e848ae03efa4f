#include "log/JournaledLog.h"

#include "log/ClipboardText.h"

namespace orvane {

void JournaledLog::LogTrial(SongKind kind, bool perch_occupied) {
  log_.LogTrial(kind, perch_occupied);
  const std::int32_t logged_row = log_.next_row() - 1;
  journal_.Append(LogTitleText(table_), LogRowText(table_, logged_row));
}

}  // namespace orvane
