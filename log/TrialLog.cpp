#include "log/TrialLog.h"

#include <string>
#include <utility>

#include "control/Colour.h"
#include "log/ClipboardText.h"

namespace orvane {

TrialLog::TrialLog(const Parts& parts, TimeStampFormat stamp_format)
    : parts_(parts), stamp_format_(std::move(stamp_format)) {}

void TrialLog::InitTrialLog() {
  NameColumns();
  next_row_ = 1;
}

void TrialLog::LogTrial(SongKind kind, bool perch_occupied) {
  // The trial is decided, so neither list marks a running song any more.
  parts_.song_lists.SetBadListColour(colours::kWhite);
  parts_.song_lists.SetGoodListColour(colours::kWhite);

  ReportTable& table = parts_.table;
  table.SetElem(1, next_row_, stamp_format_.Format(parts_.clock.Now()));
  table.SetElem(2, next_row_, kind == kNeutralSong ? "good" : "bad");
  table.SetElem(3, next_row_, perch_occupied ? "No" : "Yes");

  if (ValueDisplay* counter = CounterFor(kind, perch_occupied)) {
    counter->SetLabValue(counter->Value() + 1);
  }
  ++next_row_;
  // One row more keeps an empty row below the trials and returns the table to insertion order.
  table.SetNrRows(table.GetNrRows() + 1);
}

void TrialLog::copyClick() {
  const ReportTable& table = parts_.table;
  parts_.clipboard.SetText(CopyText(table, WholeLogRange(table)));
}

void TrialLog::clearClick() {
  parts_.table.Clear();
  next_row_ = 1;
  parts_.table.SetNrRows(1);
  NameColumns();
  parts_.bad_stay.SetLabValue(0);
  parts_.bad_escape.SetLabValue(0);
  parts_.good_stay.SetLabValue(0);
  parts_.good_escape.SetLabValue(0);
}

void TrialLog::NameColumns() {
  parts_.table.SetColName(1, "Time");
  parts_.table.SetColName(2, "Song");
  parts_.table.SetColName(3, "Escaped");
}

ValueDisplay* TrialLog::CounterFor(SongKind kind, bool perch_occupied) const {
  if (kind == kNeutralSong) {
    return perch_occupied ? &parts_.good_stay : &parts_.good_escape;
  }
  if (kind == kBadSong) {
    return perch_occupied ? &parts_.bad_stay : &parts_.bad_escape;
  }
  return nullptr;
}

}  // namespace orvane
