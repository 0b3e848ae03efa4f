#include "progress/TrialTableReader.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

#include "log/record/TrialTableFormat.h"

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

std::optional<TrialRow> TrialTableReader::Fail(std::size_t line_number, const std::string& what) {
  problems_.push_back(name_ + ", line " + std::to_string(line_number) + ": " + what +
                      "; the line is left out.");
  return std::nullopt;
}

TrialTable ReadTrialTable(std::string_view text, std::string name) {
  TrialTable table{name, false, false, {}, {}};
  TrialTableReader reader(std::move(name));
  if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);
  }
  std::size_t line_number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    if (line_number == 1) {
      table.is_trial_table = reader.ReadHeader(line);
      if (!table.is_trial_table) {
        break;
      }
    } else if (!WithoutCr(line).empty()) {
      if (std::optional<TrialRow> row = reader.ReadRow(line, line_number)) {
        table.rows.push_back(*row);
      }
    }
  }
  table.problems = reader.Problems();
  if (line_number == 0) {
    table.problems.push_back(table.name + " is not a trial table: it is empty.");
  }
  return table;
}

TrialTable LoadTrialTable(const std::filesystem::path& file) {
  const std::u8string utf8_name = file.filename().u8string();
  std::string name(utf8_name.begin(), utf8_name.end());
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    TrialTable table{name, false, false, {}, {}};
    std::error_code error;
    table.problems.push_back(name + (std::filesystem::exists(file, error)
                                         ? " cannot be opened for reading."
                                         : " cannot be opened: there is no such file."));
    return table;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    TrialTable table{name, false, false, {}, {}};
    table.problems.push_back(name + " cannot be read to its end.");
    return table;
  }
  return ReadTrialTable(text, std::move(name));
}

}  // namespace orvane
