#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "log/LocalClock.h"
#include "log/RunFile.h"
#include "log/RunFolder.h"
#include "log/record/RunClock.h"

namespace orvane::record {

// The run's event log: one tab-separated line per event, under the header
// "run_seconds  local_time  event  details". Only the lines not yet written are kept; a file
// begun again after a loss starts with the header, the run's start and a "lines_lost" event.
class EventLog {
 public:
  EventLog(RunFolder& folder, const LocalClock& clock, const RunClock& run_clock);

  // The run's start, stamped now; written first when the file appears.
  void SetRunStart(std::string_view details);
  // An event, stamped now or `milliseconds_ago` (one that happened while the window's thread did
  // not answer); the file appears with the first one.
  void Record(std::string_view event, std::string_view details, std::int64_t milliseconds_ago = 0);
  // An event that does not make the file appear: it waits for one that does, and is lost with
  // the run if none comes.
  void RecordWithOthers(std::string_view event, std::string_view details);

  // A crash's last events, stamped now and written from its handler straight to the file as it
  // stands: no allocation and no lock. False when there is no file, or they do not fit.
  struct LastEvent {
    std::string_view event;
    std::string_view details;
  };
  bool RecordAsLastAct(std::span<const LastEvent> events) noexcept;

  const std::filesystem::path& Path() const { return file_.Path(); }
  int Files() const { return file_.Files(); }
  // Events recorded so far, the run's start included.
  std::uint64_t Events() const { return events_; }

 private:
  void AppendLine(std::string& line, std::int64_t run_milliseconds, const LocalDateTime& when,
                  std::string_view event, std::string_view details) const;
  std::string Line(std::string_view event, std::string_view details,
                   std::int64_t milliseconds_ago = 0) const;

  const LocalClock& clock_;
  const RunClock& run_clock_;
  RunFile file_;
  std::string waiting_;
  bool appeared_ = false;
  std::uint64_t events_ = 0;
  // For a crash's last lines: room made beforehand, and the UTC offset of the latest stamp, since
  // the local clock cannot be asked then.
  std::string last_act_lines_;
  mutable std::atomic<int> utc_offset_seconds_{0};
};

}  // namespace orvane::record
