#include "log/record/EventLog.h"

#include <chrono>

#include "log/record/RecordText.h"

namespace orvane::record {
namespace {

constexpr std::string_view kHeader = "run_seconds\tlocal_time\tevent\tdetails\n";
// Room for a crash's last lines: a few short events.
constexpr std::size_t kLastActRoom = 8192;
// A stamp's longest text with its tabs: run seconds, local time.
constexpr std::size_t kStampRoom = 48;

}  // namespace

EventLog::EventLog(RunFolder& folder, const LocalClock& clock, const RunClock& run_clock)
    : clock_(clock),
      run_clock_(run_clock),
      file_(folder, kEventLogEnding, "event log", RunFile::Keep::kUnwrittenLines,
            [this](std::uint64_t lost) {
              return Line("lines_lost", "count=" + std::to_string(lost));
            }) {
  last_act_lines_.reserve(kLastActRoom);
}

void EventLog::SetRunStart(std::string_view details) {
  file_.SetHead(std::string(kHeader) + Line("run_start", details));
  ++events_;
}

void EventLog::Record(std::string_view event, std::string_view details,
                      std::int64_t milliseconds_ago) {
  ++events_;
  if (appeared_) {
    file_.Append(Line(event, details, milliseconds_ago));
    return;
  }
  appeared_ = true;
  waiting_ += Line(event, details, milliseconds_ago);
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

bool EventLog::RecordAsLastAct(std::span<const LastEvent> events) noexcept {
  // Within the room made beforehand the text never reallocates: a byte that is not UTF-8 is
  // written as the three of U+FFFD.
  std::size_t room = 0;
  for (const LastEvent& last : events) {
    room += kStampRoom + 3 * (last.event.size() + last.details.size());
  }
  if (room > last_act_lines_.capacity()) {
    return false;
  }
  last_act_lines_.clear();
  const LocalDateTime now =
      LocalDateTimeAt(std::chrono::system_clock::now(), utc_offset_seconds_.load());
  for (const LastEvent& last : events) {
    AppendLine(last_act_lines_, run_clock_.Milliseconds(), now, last.event, last.details);
  }
  return file_.AppendAsLastAct(last_act_lines_);
}

void EventLog::AppendLine(std::string& line, std::int64_t run_milliseconds,
                          const LocalDateTime& when, std::string_view event,
                          std::string_view details) const {
  AppendSeconds(line, run_milliseconds);
  line.push_back('\t');
  AppendLocalTime(line, when);
  line.push_back('\t');
  AppendText(line, event);
  line.push_back('\t');
  AppendText(line, details);
  line.push_back('\n');
}

std::string EventLog::Line(std::string_view event, std::string_view details,
                           std::int64_t milliseconds_ago) const {
  const LocalDateTime now = clock_.Now();
  utc_offset_seconds_ = now.utc_offset_seconds;
  std::string line;
  line.reserve(kStampRoom + event.size() + details.size());
  AppendLine(line, run_clock_.Milliseconds() - milliseconds_ago,
             milliseconds_ago == 0 ? now : MillisecondsEarlier(now, milliseconds_ago), event,
             details);
  return line;
}

}  // namespace orvane::record
