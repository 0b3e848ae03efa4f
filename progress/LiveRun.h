#pragma once

#include <functional>
#include <vector>

#include "progress/TrialRow.h"

namespace orvane {

// The trials of the program's own run as they are logged, kept for a progress window opened at
// any time later, and handed on one at a time to the one that shows them.
class LiveRun {
 public:
  using Listener = std::function<void(const TrialRow&)>;

  void Add(const TrialRow& row);
  const std::vector<TrialRow>& Rows() const { return rows_; }
  // Hears each row added from now on; an empty listener hears nothing.
  void Listen(Listener listener) { listener_ = std::move(listener); }

 private:
  std::vector<TrialRow> rows_;
  Listener listener_;
};

}  // namespace orvane
