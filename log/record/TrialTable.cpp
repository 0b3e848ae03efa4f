#include "log/record/TrialTable.h"

#include "log/record/RecordText.h"
#include "log/record/TrialTableFormat.h"

namespace orvane::record {
namespace {

// A tick is 100 ms.
constexpr std::int64_t kTickMilliseconds = 100;

void AppendFlag(std::string& line, bool flag) {
  line.push_back(flag ? '1' : '0');
}

void AppendIfKnown(std::string& line, const std::optional<std::int64_t>& value) {
  if (value) {
    AppendInteger(line, *value);
  }
}

// The row's first leave is an escape's latency: the bird was gone at the decision and had not come
// back since it first left.
bool IsEscapeLatency(const TrialRow& row) {
  return !row.on_perch && row.left_tick && !row.returned_tick;
}

}  // namespace

std::string TrialTableHeader() {
  std::string header;
  for (const std::string_view column : trial_table::kColumns) {
    header += column;
    header.push_back('\t');
  }
  header.back() = '\n';
  return header;
}

// Field by field in the order of trial_table::kColumns.
std::string TrialTableLine(const TrialRow& row) {
  std::string line;
  line.reserve(256);
  const auto next = [&line] { line.push_back('\t'); };
  AppendInteger(line, row.trial);
  next();
  AppendLocalTime(line, row.logged_at);
  next();
  AppendSeconds(line, row.run_milliseconds);
  next();
  line += row.kind == kNeutralSong ? "good" : "bad";
  next();
  AppendName(line, row.song_file);
  next();
  AppendName(line, row.song_folder);
  next();
  AppendInteger(line, row.start_tick);
  next();
  AppendInteger(line, row.decision_tick);
  next();
  AppendFlag(line, row.on_perch);
  next();
  line += row.on_perch ? "No" : "Yes";
  next();
  const std::optional<std::int64_t> left_ms =
      row.left_tick ? std::optional((*row.left_tick - row.start_tick) * kTickMilliseconds)
                    : std::nullopt;
  const bool escape_latency = IsEscapeLatency(row);
  AppendIfKnown(line, row.left_tick);
  next();
  AppendIfKnown(line, escape_latency ? left_ms : std::nullopt);
  next();
  AppendFlag(line, row.puff_on);
  next();
  if (row.puff_on) {
    AppendFlag(line, row.puff_held);
  }
  for (const std::string& setting : row.settings) {
    next();
    line += setting;
  }
  next();
  AppendFlag(line, row.device_ok);
  next();
  AppendInteger(line, static_cast<std::int64_t>(row.playback.frames_owed));
  next();
  AppendInteger(line, static_cast<std::int64_t>(row.playback.underflows));
  next();
  AppendText(line, row.playback.stream);
  next();
  AppendText(line, row.playback.error);
  next();
  AppendIfKnown(line, row.returned_tick);
  next();
  AppendIfKnown(line, left_ms);
  next();
  AppendIfKnown(line, escape_latency ? row.left_clock_ms : std::nullopt);
  next();
  if (row.song_decision) {
    AppendInteger(line, *row.song_decision);
    next();
    AppendFlag(line, row.after_puff);
  } else {
    next();
  }
  line.push_back('\n');
  return line;
}

TrialTable::TrialTable(RunFolder& folder)
    : file_(folder, kTrialTableEnding, "trial table", RunFile::Keep::kEveryLine) {
  file_.SetHead(TrialTableHeader());
}

void TrialTable::Append(const TrialRow& row) {
  const std::string line = TrialTableLine(row);
  file_.Append(line);
  if (listener_) {
    listener_(line);
  }
}

}  // namespace orvane::record
