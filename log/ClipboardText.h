#pragma once

#include <cstdint>
#include <string>

#include "log/ReportTable.h"

namespace orvane {

// The part of a table that goes to the clipboard, in columns and display positions.
struct CopyRange {
  std::int32_t first_column = 1;
  std::int32_t first_row = 1;
  std::int32_t last_column = 1;
  std::int32_t last_row = 0;
  bool with_titles = true;
};

// Tab-separated text for a spreadsheet: with titles, the title line and an empty line first;
// then one LF-ended line per display position. Columns outside the table give empty fields.
std::string CopyText(const ReportTable& table, const CopyRange& range);

// The range the trial log copies: columns 1 to 5 of every row, with titles.
CopyRange WholeLogRange(const ReportTable& table);

// What the trial log's copy holds before its rows: the title line and the empty line.
std::string LogTitleText(const ReportTable& table);
// The line the trial log's copy holds for a stored row, wherever a sort has put it.
std::string LogRowText(const ReportTable& table, std::int32_t stored_row);

}  // namespace orvane
