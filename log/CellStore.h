#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The cells of a table's stored rows, allocated in blocks of ten rows so that adding a row
// seldom allocates and never moves the rows already there. Rows are 0-based here.
class CellStore {
 public:
  static constexpr std::size_t kRowsPerBlock = 10;
  static constexpr std::size_t kUnlimited = static_cast<std::size_t>(-1);

  // `row_limit` caps the rows that ever get cells, standing in for memory running out.
  explicit CellStore(std::size_t columns, std::size_t row_limit = kUnlimited);

  // Makes room for `rows` rows: rows beyond it lose their cells, new ones start empty. When
  // memory runs out the rows that could not be stored stay without cells.
  void Resize(std::size_t rows);

  // Rows that hold cells; at most the last Resize count.
  std::size_t StoredRows() const { return stored_rows_; }

  // Empty for a row or column without a cell.
  std::string_view Get(std::size_t column, std::size_t row) const;
  // Ignored for a row or column without a cell.
  void Set(std::size_t column, std::size_t row, std::string_view text);

  void ClearAll();

 private:
  struct Block {
    explicit Block(std::size_t columns) : cells(columns * kRowsPerBlock) {}
    std::vector<std::string> cells;
  };

  std::string& CellAt(std::size_t column, std::size_t row);
  const std::string& CellAt(std::size_t column, std::size_t row) const;

  std::size_t columns_;
  std::size_t row_limit_;
  std::size_t stored_rows_ = 0;
  std::vector<std::unique_ptr<Block>> blocks_;
};

}  // namespace orvane
