#include "progress/TrialTableReader.h"

#include <charconv>
#include <cmath>
#include <system_error>
#include <type_traits>
#include <utility>

#include "log/Utf8Text.h"
#include "log/record/TrialTableFormat.h"
#include "progress/platform/RegularFile.h"

namespace orvane {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) {
      return fields;
    }
    start = tab + 1;
  }
}

std::string_view WithoutCr(std::string_view line) {
  return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
}

template <typename Number>
std::optional<Number> NumberIn(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// An empty field, or a number no smaller than `least`; a decimal must be finite as well.
template <typename Number>
bool ReadIfGiven(std::string_view text, Number least, std::optional<Number>& value) {
  if (text.empty()) {
    return true;
  }
  value = NumberIn<Number>(text);
  if constexpr (std::is_floating_point_v<Number>) {
    if (value && !std::isfinite(*value)) {
      return false;
    }
  }
  return value && *value >= least;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

bool TrialTableReader::ReadHeader(std::string_view line) {
  const std::vector<std::string_view> names = Fields(WithoutCr(line));
  fields_ = names.size();
  std::string missing;
  const auto find = [&](std::string_view column, std::size_t& index) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == column) {
        index = i;
        return;
      }
    }
    missing += (missing.empty() ? "" : ", ") + Quoted(column);
  };
  find(trial_table::kSongKind, song_kind_);
  find(trial_table::kEscaped, escaped_);
  find(trial_table::kLatencyMs, latency_ms_);
  find(trial_table::kLoggedAt, logged_at_);
  find(trial_table::kRunSeconds, run_seconds_);
  const auto find_if_there = [&](std::string_view column, Column& index) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == column) {
        index = i;
      }
    }
  };
  find_if_there(trial_table::kTrial, trial_);
  find_if_there(trial_table::kSongFile, song_file_);
  find_if_there(trial_table::kLeftMs, left_ms_);
  find_if_there(trial_table::kReturnedTick, returned_tick_);
  find_if_there(trial_table::kLatencyClockMs, latency_clock_ms_);
  find_if_there(trial_table::kSongDecision, song_decision_);
  find_if_there(trial_table::kAfterPuff, after_puff_);
  find_if_there(trial_table::kPuffDelaySeconds, puff_delay_s_);
  find_if_there(trial_table::kPuffDurationSeconds, puff_duration_s_);
  find_if_there(trial_table::kOdds, odds_);
  latencies_are_first_leaves_ = !left_ms_ && !returned_tick_;
  if (!missing.empty()) {
    problems_.push_back(name_ + " is not a trial table: its first line has no column " + missing +
                        ".");
    return false;
  }
  return true;
}

std::optional<TrialRow> TrialTableReader::ReadRow(std::string_view line, std::size_t line_number) {
  const std::vector<std::string_view> fields = Fields(WithoutCr(line));
  if (fields.size() != fields_) {
    return Fail(line_number, std::to_string(fields.size()) + " fields where the header has " +
                                 std::to_string(fields_));
  }
  TrialRow row;
  if (const std::string_view kind = fields[song_kind_]; kind == "bad") {
    row.kind = kBadSong;
  } else if (kind != "good") {
    return Fail(line_number, "the song kind is " + Quoted(kind) + ", not \"good\" or \"bad\"");
  }
  if (const std::string_view escaped = fields[escaped_]; escaped == "Yes") {
    row.escaped = true;
  } else if (escaped != "No") {
    return Fail(line_number, "escaped is " + Quoted(escaped) + ", not \"Yes\" or \"No\"");
  }
  if (const std::string_view latency = fields[latency_ms_]; !latency.empty()) {
    row.latency_ms = NumberIn<std::int32_t>(latency);
    if (!row.latency_ms || *row.latency_ms < 0) {
      return Fail(line_number,
                  "the latency " + Quoted(latency) + " is not a number of milliseconds");
    }
  }
  if (latencies_are_first_leaves_) {
    row.left_ms = std::exchange(row.latency_ms, std::nullopt);
  }
  if (std::string problem = ReadAddedColumns(fields, row); !problem.empty()) {
    return Fail(line_number, problem);
  }
  if (const std::string_view logged_at = fields[logged_at_]; !logged_at.empty()) {
    row.logged_at = ParseLoggedAt(logged_at);
    if (!row.logged_at) {
      return Fail(line_number, "the time " + Quoted(logged_at) + " is not a date and time");
    }
  }
  if (const std::string_view seconds = fields[run_seconds_]; !seconds.empty()) {
    row.run_seconds = NumberIn<double>(seconds);
    if (!row.run_seconds || *row.run_seconds < 0) {
      return Fail(line_number, "the run time " + Quoted(seconds) + " is not a number of seconds");
    }
  }
  return row;
}

std::string TrialTableReader::ReadAddedColumns(const std::vector<std::string_view>& fields,
                                               TrialRow& row) const {
  const auto field = [&fields](const Column& column) {
    return column ? fields[*column] : std::string_view();
  };
  if (!ReadIfGiven<std::int64_t>(field(trial_), 1, row.trial)) {
    return "the trial number " + Quoted(field(trial_)) + " is not 1, 2, 3 ...";
  }
  row.song_file = field(song_file_);
  if (!ReadIfGiven<std::int32_t>(field(left_ms_), 0, row.left_ms)) {
    return "the first leave " + Quoted(field(left_ms_)) + " is not a number of milliseconds";
  }
  std::optional<std::int64_t> returned_tick;
  if (!ReadIfGiven<std::int64_t>(field(returned_tick_), 0, returned_tick)) {
    return "the return tick " + Quoted(field(returned_tick_)) + " is not a tick number";
  }
  row.returned = returned_tick.has_value();
  if (!ReadIfGiven<std::int32_t>(field(latency_clock_ms_), 0, row.latency_clock_ms)) {
    return "the clock latency " + Quoted(field(latency_clock_ms_)) +
           " is not a number of milliseconds";
  }
  std::optional<std::int32_t> decision;
  if (!ReadIfGiven<std::int32_t>(field(song_decision_), 1, decision)) {
    return "the song's decision " + Quoted(field(song_decision_)) + " is not 1, 2, 3 ...";
  }
  row.song_decision = decision.value_or(1);
  if (const std::string_view after_puff = field(after_puff_); after_puff == "1") {
    row.after_puff = true;
  } else if (!after_puff.empty() && after_puff != "0") {
    return "after_puff is " + Quoted(after_puff) + ", not 1 or 0";
  }
  if (!ReadIfGiven<double>(field(puff_delay_s_), 0, row.puff_delay_s)) {
    return "the puff delay " + Quoted(field(puff_delay_s_)) + " is not a number of seconds";
  }
  if (!ReadIfGiven<double>(field(puff_duration_s_), 0, row.puff_duration_s)) {
    return "the puff duration " + Quoted(field(puff_duration_s_)) + " is not a number of seconds";
  }
  if (!ReadIfGiven<double>(field(odds_), 0, row.odds)) {
    return "the odds " + Quoted(field(odds_)) + " are not a number";
  }
  return {};
}

std::optional<TrialRow> TrialTableReader::Fail(std::size_t line_number, const std::string& what) {
  problems_.push_back(name_ + ", line " + std::to_string(line_number) + ": " + what +
                      "; the line is left out.");
  return std::nullopt;
}

namespace {

// A header is a few hundred bytes; a first line longer than this is no header.
constexpr std::size_t kLongestHeader = 64 << 10;

// A trial table's text taken in pieces of any length, split into lines: the header first, then
// each row. A piece may end inside a line, whose rest comes with the next.
class TableLines {
 public:
  explicit TableLines(std::string name) : reader_(name) { table_.name = std::move(name); }

  // False once the rest is of no use: the first line is no trial table's header.
  bool Take(std::string_view piece) {
    while (!refused_ && !piece.empty()) {
      const std::size_t end = piece.find('\n');
      if (end == std::string_view::npos) {
        partial_ += piece;
        if (line_number_ == 0 && partial_.size() > kLongestHeader) {
          // A file of zeros or pictures, not a table: not kept in memory to its end.
          too_long_ = true;
          refused_ = true;
        }
        break;
      }
      if (partial_.empty()) {
        Line(piece.substr(0, end));
      } else {
        partial_ += piece.substr(0, end);
        Line(partial_);
        partial_.clear();
      }
      piece.remove_prefix(end + 1);
    }
    return !refused_;
  }

  TrialTable Finish() {
    if (!partial_.empty() && !refused_) {
      Line(partial_);  // the last line, without its LF
    }
    table_.problems = reader_.Problems();
    if (too_long_) {
      table_.problems.push_back(table_.name +
                                " is not a trial table: its first line runs past 64 KiB.");
    } else if (line_number_ == 0) {
      table_.problems.push_back(table_.name + " is not a trial table: it is empty.");
    }
    return std::move(table_);
  }

 private:
  void Line(std::string_view line) {
    if (refused_) {
      return;
    }
    ++line_number_;
    if (line_number_ == 1) {
      if (line.starts_with("\xEF\xBB\xBF")) {
        line.remove_prefix(3);
      }
      table_.is_trial_table = reader_.ReadHeader(line);
      table_.latencies_are_first_leaves = reader_.LatenciesAreFirstLeaves();
      refused_ = !table_.is_trial_table;
    } else if (!WithoutCr(line).empty()) {
      if (std::optional<TrialRow> row = reader_.ReadRow(line, line_number_)) {
        table_.rows.push_back(*row);
      }
    }
  }

  TrialTable table_;
  TrialTableReader reader_;
  std::string partial_;
  std::size_t line_number_ = 0;
  bool refused_ = false;
  bool too_long_ = false;
};

std::string RefusalText(const std::string& name, const FileReading& reading) {
  switch (reading.refusal) {
    case FileRefusal::kNone:
      break;
    case FileRefusal::kMissing:
      return name + " cannot be opened: there is no such file.";
    case FileRefusal::kFolder:
      return name + " is a folder, not a trial table.";
    case FileRefusal::kDevice:
      return name + " is a device, not a file: it is not read.";
    case FileRefusal::kPipe:
      return name + " is a pipe, not a file: it is not read.";
    case FileRefusal::kOther:
      return name + " is not a file: it is not read.";
    case FileRefusal::kTooLarge:
      return name + " is larger than 1 GiB, the most a trial table is read to: it is not read.";
    case FileRefusal::kUnopenable:
      return name + " cannot be opened: " + reading.error + ".";
    case FileRefusal::kUnreadable:
      return name + " cannot be read to its end: " + reading.error + ".";
  }
  return {};
}

}  // namespace

std::string TableNameOf(const std::filesystem::path& file) {
  std::filesystem::path shown = file.filename();
  if (shown.empty()) {
    shown = file.parent_path().filename();
  }
  return PathForPeople(shown.empty() ? file : shown);
}

TrialTable ReadTrialTable(std::string_view text, std::string name) {
  TableLines lines(std::move(name));
  lines.Take(text);
  return lines.Finish();
}

TrialTable LoadTrialTable(const std::filesystem::path& file, const std::function<bool()>& wanted) {
  std::string name = TableNameOf(file);
  TableLines lines(name);
  const FileReading reading = ReadRegularFile(file, kMostTableBytes, [&](std::string_view piece) {
    return lines.Take(piece) && (!wanted || wanted());
  });
  if (reading.refusal != FileRefusal::kNone) {
    TrialTable table;
    table.name = name;
    table.problems.push_back(RefusalText(name, reading));
    return table;
  }
  return lines.Finish();
}

}  // namespace orvane
