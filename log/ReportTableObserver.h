#pragma once

namespace orvane {

// What changed in a report table; the view repaints on each and resets its cursor on kRowCount.
enum class TableChange { kCell, kTitle, kRowCount, kOrder, kMark, kCleared };

class ReportTableObserver {
 public:
  virtual ~ReportTableObserver() = default;

  virtual void TableChanged(TableChange change) = 0;
};

}  // namespace orvane
