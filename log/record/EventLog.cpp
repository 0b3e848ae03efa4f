#include "log/record/EventLog.h"

#include "log/record/RecordText.h"

namespace orvane::record {
namespace {

constexpr std::string_view kHeader = "run_seconds\tlocal_time\tevent\tdetails\n";

}  // namespace

EventLog::EventLog(RunFolder& folder, const LocalClock& clock, const RunClock& run_clock)
    : clock_(clock),
      run_clock_(run_clock),
      file_(folder, kEventLogEnding, "event log", RunFile::Keep::kUnwrittenLines,
            [this](std::uint64_t lost) {
              return Line("lines_lost", "count=" + std::to_string(lost));
            }) {}

void EventLog::SetRunStart(std::string_view details) {
  file_.SetHead(std::string(kHeader) + Line("run_start", details));
  ++events_;
}

void EventLog::Record(std::string_view event, std::string_view details) {
  ++events_;
  if (appeared_) {
    file_.Append(Line(event, details));
    return;
  }
  appeared_ = true;
  waiting_ += Line(event, details);
  file_.Append(waiting_);
  waiting_ = std::string();
}

void EventLog::RecordWithOthers(std::string_view event, std::string_view details) {
  if (appeared_) {
    Record(event, details);
  } else {
    ++events_;
    waiting_ += Line(event, details);
  }
}

std::string EventLog::Line(std::string_view event, std::string_view details) const {
  std::string line;
  line.reserve(48 + event.size() + details.size());
  AppendSeconds(line, run_clock_.Milliseconds());
  line.push_back('\t');
  AppendLocalTime(line, clock_.Now());
  line.push_back('\t');
  AppendText(line, event);
  line.push_back('\t');
  AppendText(line, details);
  line.push_back('\n');
  return line;
}

}  // namespace orvane::record
