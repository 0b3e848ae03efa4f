#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "progress/TrialRow.h"

namespace orvane {

// What a run's trial table gave: its readable rows in order and a message for each line that
// could not be read. `is_trial_table` is false when the file itself could not be used.
struct TrialTable {
  std::string name;  // the file, as messages name it
  bool is_trial_table = false;
  // Written before an escape was told apart from a bird that left and came back: its latencies
  // are first-leave times.
  bool latencies_are_first_leaves = false;
  std::vector<TrialRow> rows;
  std::vector<std::string> problems;
};

// Reads a trial table one line at a time: first the header, then the rows, each checked alone,
// so that a bad line costs only itself. Columns are found by their names, in any order.
class TrialTableReader {
 public:
  // `name` names the file in every message.
  explicit TrialTableReader(std::string name) : name_(std::move(name)) {}

  // False, with a message, when the header lacks a column the charts need. A column added after
  // a table was written leaves its field at its default.
  bool ReadHeader(std::string_view line);
  // The table was written before an escape was told apart from a bird that left and came back:
  // its latency_ms is read as the first leave.
  bool LatenciesAreFirstLeaves() const { return latencies_are_first_leaves_; }
  // The row of a data line (line 1 is the header), or nothing, with a message, when the line has
  // the wrong number of fields or a value that cannot be read.
  std::optional<TrialRow> ReadRow(std::string_view line, std::size_t line_number);

  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  std::optional<TrialRow> Fail(std::size_t line_number, const std::string& what);

  using Column = std::optional<std::size_t>;
  // The columns a table may lack into `row`; what is wrong with them, or nothing.
  std::string ReadAddedColumns(const std::vector<std::string_view>& fields, TrialRow& row) const;

  std::string name_;
  std::size_t fields_ = 0;
  std::size_t song_kind_ = 0;
  std::size_t escaped_ = 0;
  std::size_t latency_ms_ = 0;
  std::size_t logged_at_ = 0;
  std::size_t run_seconds_ = 0;
  Column trial_;
  Column song_file_;
  Column left_ms_;
  Column returned_tick_;
  Column latency_clock_ms_;
  Column song_decision_;
  Column after_puff_;
  Column puff_delay_s_;
  Column puff_duration_s_;
  Column odds_;
  bool latencies_are_first_leaves_ = false;
  std::vector<std::string> problems_;
};

// A whole table's text, UTF-8 with LF line ends (a CR before the LF is tolerated).
TrialTable ReadTrialTable(std::string_view text, std::string name);

// How messages name the table in `file`: the file's name as UTF-8, what cannot be shown as U+FFFD;
// the folder's name when the path ends in a separator.
std::string TableNameOf(const std::filesystem::path& file);

// The most of a trial table that is read: a day's run holds well under a megabyte, and a larger
// file is more likely something else that would fill the memory.
inline constexpr std::uint64_t kMostTableBytes = std::uint64_t{1} << 30;

// The table in `file`, read as it comes rather than held whole. Only a regular file of at most
// kMostTableBytes is read; anything else, and a file that cannot be read, is told as such. The
// reading stops early, with what it has so far, once `wanted` says false.
TrialTable LoadTrialTable(const std::filesystem::path& file,
                          const std::function<bool()>& wanted = {});

}  // namespace orvane
