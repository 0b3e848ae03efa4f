#include "log/ReportTable.h"

#include <algorithm>
#include <new>
#include <numeric>
#include <stdexcept>

#include "log/Utf8Text.h"

namespace orvane {
namespace {

std::size_t ToIndex(std::int32_t one_based) {
  return static_cast<std::size_t>(one_based - 1);
}

}  // namespace

ReportTable::ReportTable(std::int32_t columns, std::int32_t rows, std::size_t row_limit)
    : columns_(std::max(columns, 1)), cells_(static_cast<std::size_t>(columns_), row_limit) {
  try {
    titles_.resize(static_cast<std::size_t>(columns_));
  } catch (const std::bad_alloc&) {
    throw std::runtime_error(
        "Component \"report\": failed to initialize table editor (out of memory)");
  }
  DefaultTitles();
  rows_ = std::max(rows, 0);
  cells_.Resize(static_cast<std::size_t>(rows_));
}

void ReportTable::SetNrRows(std::int32_t count) {
  rows_ = std::max(count, 0);
  cells_.Resize(static_cast<std::size_t>(rows_));
  if (marked_row_ > rows_) {
    marked_row_ = 0;
  }
  ResetOrder();
  Notify(TableChange::kRowCount);
}

void ReportTable::Clear() {
  cells_.ClearAll();
  marked_row_ = 0;
  ResetOrder();
  DefaultTitles();
  Notify(TableChange::kCleared);
}

void ReportTable::SetColName(std::int32_t column, std::string_view title) {
  if (column < 1 || column > columns_) {
    return;
  }
  titles_[ToIndex(column)] = CutUtf8ToCharacters(title, kMaxTitleCharacters);
  Notify(TableChange::kTitle);
}

std::string_view ReportTable::GetColName(std::int32_t column) const {
  if (column < 1 || column > columns_) {
    return {};
  }
  return titles_[ToIndex(column)];
}

void ReportTable::SetElem(std::int32_t column, std::int32_t row, std::string_view text) {
  if (column < 1 || column > columns_ || row < 1 || row > rows_) {
    return;
  }
  cells_.Set(ToIndex(column), ToIndex(row), CutUtf8ToBytes(text, kMaxCellBytes));
  Notify(TableChange::kCell);
}

std::string_view ReportTable::GetElem(std::int32_t column, std::int32_t row) const {
  if (column < 1 || column > columns_ || row < 1 || row > rows_) {
    return {};
  }
  return cells_.Get(ToIndex(column), ToIndex(row));
}

std::int32_t ReportTable::StoredRowAt(std::int32_t position) const {
  if (position < 1 || position > rows_) {
    return 0;
  }
  return order_.empty() ? position : order_[ToIndex(position)] + 1;
}

std::int32_t ReportTable::DisplayPositionOf(std::int32_t stored_row) const {
  if (stored_row < 1 || stored_row > rows_) {
    return 0;
  }
  if (order_.empty()) {
    return stored_row;
  }
  const auto found = std::find(order_.begin(), order_.end(), stored_row - 1);
  return static_cast<std::int32_t>(found - order_.begin()) + 1;
}

void ReportTable::SortByColumn(std::int32_t column) {
  if (column < 1 || column > columns_) {
    return;
  }
  sort_.direction = next_sort_descending_ ? SortDirection::kDescending : SortDirection::kAscending;
  next_sort_descending_ = !next_sort_descending_;
  sort_.column = column;
  if (rows_ >= 2) {
    std::vector<std::u16string> keys(static_cast<std::size_t>(rows_));
    for (std::int32_t row = 1; row <= rows_; ++row) {
      keys[ToIndex(row)] = SortKeyOf(GetElem(column, row));
    }
    const std::vector<std::uint32_t> ranks = RankKeys(keys);
    if (order_.empty()) {
      order_.resize(static_cast<std::size_t>(rows_));
      std::iota(order_.begin(), order_.end(), 0);
    }
    CombSort(order_, ranks, sort_.direction);
  }
  Notify(TableChange::kOrder);
}

void ReportTable::MarkRow(std::int32_t stored_row) {
  marked_row_ = (stored_row >= 1 && stored_row <= rows_) ? stored_row : 0;
  Notify(TableChange::kMark);
}

void ReportTable::ResetOrder() {
  order_.clear();
  sort_.column = 0;
}

void ReportTable::DefaultTitles() {
  for (std::int32_t column = 1; column <= columns_; ++column) {
    titles_[ToIndex(column)] = "C-" + std::to_string(column);
  }
}

void ReportTable::Notify(TableChange change) {
  if (observer_ != nullptr) {
    observer_->TableChanged(change);
  }
}

}  // namespace orvane
