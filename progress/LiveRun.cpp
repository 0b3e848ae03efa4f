#include "progress/LiveRun.h"

namespace orvane {

namespace {

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  return line;
}

}  // namespace

LiveRun::LiveRun(std::string_view header) : reader_("The run's trial table") {
  reader_.ReadHeader(WithoutLineEnd(header));
}

void LiveRun::AddLine(std::string_view line) {
  if (const std::optional<TrialRow> row = reader_.ReadRow(WithoutLineEnd(line), ++lines_)) {
    rows_.push_back(*row);
    if (listener_) {
      listener_(*row);
    }
  }
}

}  // namespace orvane
