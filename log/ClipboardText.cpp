#include "log/ClipboardText.h"

namespace orvane {
namespace {

template <typename CellOf>
void AppendLine(std::string& text, const CopyRange& range, CellOf cell_of) {
  for (std::int32_t column = range.first_column; column <= range.last_column; ++column) {
    if (column > range.first_column) {
      text.push_back('\t');
    }
    text.append(cell_of(column));
  }
}

}  // namespace

std::string CopyText(const ReportTable& table, const CopyRange& range) {
  std::string text;
  const std::size_t fields =
      range.last_column >= range.first_column
          ? static_cast<std::size_t>(range.last_column - range.first_column + 1)
          : 0;
  const std::size_t lines = range.last_row >= range.first_row
                                ? static_cast<std::size_t>(range.last_row - range.first_row + 1)
                                : 0;
  // A stamp, a kind and an answer per line: room for most logs without regrowing.
  text.reserve((lines + 2) * (fields + 32));
  if (range.with_titles) {
    AppendLine(text, range, [&](std::int32_t column) { return table.GetColName(column); });
    text.append("\n\n");
  }
  for (std::int32_t position = range.first_row; position <= range.last_row; ++position) {
    const std::int32_t stored_row = table.StoredRowAt(position);
    AppendLine(text, range, [&](std::int32_t column) { return table.GetElem(column, stored_row); });
    text.push_back('\n');
  }
  return text;
}

CopyRange WholeLogRange(const ReportTable& table) {
  return CopyRange{1, 1, 5, table.GetNrRows(), true};
}

std::string LogTitleText(const ReportTable& table) {
  CopyRange titles_only = WholeLogRange(table);
  titles_only.last_row = 0;
  return CopyText(table, titles_only);
}

std::string LogRowText(const ReportTable& table, std::int32_t stored_row) {
  std::string line;
  AppendLine(line, WholeLogRange(table),
             [&](std::int32_t column) { return table.GetElem(column, stored_row); });
  line.push_back('\n');
  return line;
}

}  // namespace orvane
