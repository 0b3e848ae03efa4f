#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/CellStore.h"
#include "log/CombSort.h"
#include "log/ReportTableObserver.h"

namespace orvane {

// The text table behind the trial log: titled columns, rows stored in the order they were added,
// a display order that only sorting changes, and at most one marked row. Columns, stored rows
// and display positions are numbered from 1; text is UTF-8.
class ReportTable {
 public:
  static constexpr std::size_t kMaxTitleCharacters = 50;
  static constexpr std::size_t kMaxCellBytes = 255;

  struct SortState {
    std::int32_t column = 0;  // 0 while the rows are in insertion order
    SortDirection direction = SortDirection::kDescending;
  };

  // `row_limit` caps the rows that can hold cells (the rest are counted but stay empty).
  explicit ReportTable(std::int32_t columns = 3, std::int32_t rows = 4,
                       std::size_t row_limit = CellStore::kUnlimited);

  // The view that repaints on every change; null for none.
  void SetObserver(ReportTableObserver* observer) { observer_ = observer; }

  std::int32_t GetNrColumns() const { return columns_; }
  std::int32_t GetNrRows() const { return rows_; }
  // A count below 0 counts as 0. Kept rows keep cells and mark; insertion order returns.
  void SetNrRows(std::int32_t count);

  // Empties every cell, drops the mark and the sort, and titles column n "C-n".
  void Clear();

  void SetColName(std::int32_t column, std::string_view title);
  std::string_view GetColName(std::int32_t column) const;

  // By stored row; out of range writes are ignored and reads give empty text.
  void SetElem(std::int32_t column, std::int32_t row, std::string_view text);
  std::string_view GetElem(std::int32_t column, std::int32_t row) const;

  // The stored row shown at a display position, or 0 outside 1 to the row count.
  std::int32_t StoredRowAt(std::int32_t position) const;
  // The display position of a stored row, or 0 when it is not in the table.
  std::int32_t DisplayPositionOf(std::int32_t stored_row) const;
  std::string_view GetDisplayedElem(std::int32_t column, std::int32_t position) const {
    return GetElem(column, StoredRowAt(position));
  }

  // Flips the table's direction toggle (the first sort is descending) and sorts the display
  // order by `column`. Fewer than two rows stay as they are. Out of range columns are ignored.
  void SortByColumn(std::int32_t column);
  const SortState& Sort() const { return sort_; }

  // Marks one stored row alone; 0 (or any row outside the table) removes the mark.
  void MarkRow(std::int32_t stored_row);
  std::int32_t MarkedRow() const { return marked_row_; }
  bool IsMarked(std::int32_t stored_row) const {
    return marked_row_ != 0 && marked_row_ == stored_row;
  }

 private:
  void ResetOrder();
  void DefaultTitles();
  void Notify(TableChange change);

  std::int32_t columns_;
  std::int32_t rows_ = 0;
  std::vector<std::string> titles_;
  CellStore cells_;
  // Empty while the order is the identity, so adding a row costs nothing here.
  std::vector<std::int32_t> order_;
  SortState sort_;
  bool next_sort_descending_ = true;
  std::int32_t marked_row_ = 0;
  ReportTableObserver* observer_ = nullptr;
};

}  // namespace orvane
