#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "control/PlaybackHealth.h"
#include "control/SongKind.h"
#include "log/LocalClock.h"
#include "log/RunFile.h"
#include "log/RunFolder.h"
#include "log/record/SettingsRecord.h"

namespace orvane::record {

// One logged row of the trial table, as its columns in TrialTableFormat.h name it.
struct TrialRow {
  std::int64_t trial = 0;
  LocalDateTime logged_at;
  std::int64_t run_milliseconds = 0;
  SongKind kind = kNoTrial;
  std::string song_file;
  std::string song_folder;
  std::int64_t start_tick = 0;
  std::int64_t decision_tick = 0;
  bool on_perch = false;
  std::optional<std::int64_t> left_tick;
  std::optional<std::int64_t> returned_tick;
  // The monotonic clock's time from the start tick's perch read to left_tick's.
  std::optional<std::int64_t> left_clock_ms;
  bool puff_on = false;
  bool puff_held = false;
  SettingsTexts settings;  // empty texts where a setting is not known
  bool device_ok = true;
  PlaybackHealth playback;  // the trial's share of the counters, the state at the decision
  // The decision's place in its song and whether a puff of the song came before it; nothing when
  // the song is not known.
  std::optional<std::int32_t> song_decision;
  bool after_puff = false;
};

// The line of the trial table for a row, LF-ended; the header line is the column names.
std::string TrialTableLine(const TrialRow& row);
std::string TrialTableHeader();

// The run's trial table: the header, then one line per logged row, every one kept so that a file
// lost on the way is written again in full.
class TrialTable {
 public:
  explicit TrialTable(RunFolder& folder);

  // Hears each line, LF-ended, once it has been handed to the file.
  using LineListener = std::function<void(std::string_view line)>;
  void Listen(LineListener listener) { listener_ = std::move(listener); }

  void Append(const TrialRow& row);

  const std::filesystem::path& Path() const { return file_.Path(); }
  int Files() const { return file_.Files(); }

 private:
  RunFile file_;
  LineListener listener_;
};

}  // namespace orvane::record
