#include "log/CellStore.h"

#include <algorithm>
#include <new>

namespace orvane {

CellStore::CellStore(std::size_t columns, std::size_t row_limit)
    : columns_(columns), row_limit_(row_limit) {}

void CellStore::Resize(std::size_t rows) {
  const std::size_t wanted = std::min(rows, row_limit_);
  if (wanted < stored_rows_) {
    const std::size_t blocks_needed = (wanted + kRowsPerBlock - 1) / kRowsPerBlock;
    blocks_.resize(blocks_needed);
    // The rows of the last kept block past the new end must read empty when they come back.
    for (std::size_t row = wanted; row < blocks_needed * kRowsPerBlock; ++row) {
      for (std::size_t column = 0; column < columns_; ++column) {
        std::string empty;
        CellAt(column, row).swap(empty);
      }
    }
    stored_rows_ = wanted;
    return;
  }
  try {
    while (blocks_.size() * kRowsPerBlock < wanted) {
      blocks_.push_back(std::make_unique<Block>(columns_));
    }
    stored_rows_ = wanted;
  } catch (const std::bad_alloc&) {
    stored_rows_ = std::min(wanted, blocks_.size() * kRowsPerBlock);
  }
}

std::string& CellStore::CellAt(std::size_t column, std::size_t row) {
  return blocks_[row / kRowsPerBlock]->cells[(row % kRowsPerBlock) * columns_ + column];
}

const std::string& CellStore::CellAt(std::size_t column, std::size_t row) const {
  return blocks_[row / kRowsPerBlock]->cells[(row % kRowsPerBlock) * columns_ + column];
}

std::string_view CellStore::Get(std::size_t column, std::size_t row) const {
  if (column >= columns_ || row >= stored_rows_) {
    return {};
  }
  return CellAt(column, row);
}

void CellStore::Set(std::size_t column, std::size_t row, std::string_view text) {
  if (column >= columns_ || row >= stored_rows_) {
    return;
  }
  CellAt(column, row).assign(text);
}

void CellStore::ClearAll() {
  for (auto& block : blocks_) {
    for (auto& cell : block->cells) {
      std::string empty;
      cell.swap(empty);
    }
  }
}

}  // namespace orvane
