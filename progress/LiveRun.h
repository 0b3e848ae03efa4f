#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "progress/TrialRow.h"
#include "progress/TrialTableReader.h"

namespace orvane {

// The trials of the program's own run, read from its trial table's lines as they are written, by
// the reader that reads past runs, so the live charts show what the file holds. Kept for a
// progress window opened at any time later, and handed on one at a time to the one that shows
// them.
class LiveRun {
 public:
  using Listener = std::function<void(const TrialRow&)>;

  // `header`: the table's first line, which names its columns.
  explicit LiveRun(std::string_view header);

  // One line of the table after its header; a line that cannot be read is kept in Problems().
  void AddLine(std::string_view line);
  const std::vector<TrialRow>& Rows() const { return rows_; }
  const std::vector<std::string>& Problems() const { return reader_.Problems(); }
  // Hears each row added from now on; an empty listener hears nothing.
  void Listen(Listener listener) { listener_ = std::move(listener); }

 private:
  TrialTableReader reader_;
  std::size_t lines_ = 1;
  std::vector<TrialRow> rows_;
  Listener listener_;
};

}  // namespace orvane
