#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "log/record/TrialTableFormat.h"

namespace orvane::testing {

// One row of a hand-made trial table: only what the progress charts read; every other column of
// the table is filled with a plausible value.
struct HandRow {
  std::string song_kind;  // "good" or "bad"
  std::string escaped;    // "Yes" or "No"
  std::string latency_ms;
  std::string logged_at;
  std::string run_seconds;
};

// A trial table's text as the program writes it: the header with every column in its order, then
// one LF-ended line per row.
inline std::string TrialTableText(const std::vector<HandRow>& rows) {
  std::string text;
  for (const std::string_view column : trial_table::kColumns) {
    text += std::string(text.empty() ? "" : "\t") + std::string(column);
  }
  text += '\n';
  int trial = 0;
  for (const HandRow& row : rows) {
    std::string line;
    for (const std::string_view column : trial_table::kColumns) {
      std::string value = "1";
      if (column == trial_table::kTrial) {
        value = std::to_string(++trial);
      } else if (column == trial_table::kSongKind) {
        value = row.song_kind;
      } else if (column == trial_table::kEscaped) {
        value = row.escaped;
      } else if (column == trial_table::kLatencyMs || column == trial_table::kLeftTick ||
                 column == trial_table::kLeftMs) {
        value = row.latency_ms;
      } else if (column == trial_table::kReturnedTick || column == trial_table::kLatencyClockMs) {
        value = "";
      } else if (column == trial_table::kAfterPuff) {
        value = "0";
      } else if (column == trial_table::kLoggedAt) {
        value = row.logged_at;
      } else if (column == trial_table::kRunSeconds) {
        value = row.run_seconds;
      } else if (column == trial_table::kSongFile || column == trial_table::kPlayerError) {
        value = column == trial_table::kSongFile ? "calm.wav" : "";
      }
      line += std::string(line.empty() ? "" : "\t") + value;
    }
    text += line + '\n';
  }
  return text;
}

}  // namespace orvane::testing
