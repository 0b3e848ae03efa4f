#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace orvane::testing {

// A tab-separated file read as a spreadsheet reads it: the first line names the columns, each
// further LF-ended line is a row of fields.
struct TabSeparated {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  bool ends_with_line_end = false;

  // The field of `row` under the column `name`; the test fails when there is no such column.
  std::string At(std::size_t row, std::string_view name) const {
    const auto column = std::find(columns.begin(), columns.end(), name);
    if (column == columns.end() || row >= rows.size()) {
      ADD_FAILURE() << "no row " << row << " under column " << name;
      return {};
    }
    const auto index = static_cast<std::size_t>(column - columns.begin());
    return index < rows[row].size() ? rows[row][index] : std::string();
  }
  // The fields of one column, row by row.
  std::vector<std::string> Column(std::string_view name) const {
    std::vector<std::string> fields;
    for (std::size_t row = 0; row < rows.size(); ++row) {
      fields.push_back(At(row, name));
    }
    return fields;
  }
};

inline std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.emplace_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) {
      return fields;
    }
    start = tab + 1;
  }
}

inline TabSeparated ParseTabSeparated(std::string_view text) {
  TabSeparated table;
  table.ends_with_line_end = !text.empty() && text.back() == '\n';
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end;
    std::vector<std::string> fields = SplitFields(text.substr(start, end - start));
    if (start == 0) {
      table.columns = std::move(fields);
    } else {
      table.rows.push_back(std::move(fields));
    }
    start = end + 1;
  }
  return table;
}

inline TabSeparated ReadTabSeparated(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ParseTabSeparated(text);
}

}  // namespace orvane::testing
