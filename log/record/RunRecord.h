#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "control/ExperimentSettings.h"
#include "control/NoticeBoard.h"
#include "control/PlaybackHealth.h"
#include "control/PuffWriter.h"
#include "control/SongKind.h"
#include "log/LocalClock.h"
#include "log/RunFolder.h"
#include "log/TrialJournal.h"
#include "log/record/EventLog.h"
#include "log/record/RunClock.h"
#include "log/record/SettingsRecord.h"
#include "log/record/TrialTable.h"

namespace orvane::record {

using PuffBy = PuffWriter;

// Everything a run does, kept beside its trial journal under the same name stem: the trial
// table, one line per logged row with its settings, timings and escape latency, and the event
// log. The window tells it what happens, in the order it happens; nothing it does can change a
// decision or hold up a tick longer than it takes to hand a line to the system.
class RunRecord {
 public:
  struct Parts {
    std::filesystem::path folder;
    const LocalClock& clock;
    NoticeBoard& notices;
    const ExperimentSettings& settings;
    const MonotonicClock& monotonic;
  };

  explicit RunRecord(const Parts& parts);

  TrialJournal& Journal() { return journal_; }
  const TrialJournal& Journal() const { return journal_; }
  RunFolder& Folder() { return folder_; }
  const TrialTable& Table() const { return table_; }
  // Hears each line of the trial table as it is written.
  void ListenToTrialLines(TrialTable::LineListener listener) { table_.Listen(std::move(listener)); }
  const EventLog& Events() const { return events_; }

  // The run's start: `device` says what the device and its driver are ("key=value; ..."),
  // then the settings as they stand and both song folders are added.
  void BeginRun(std::string_view device, std::string_view bad_folder,
                std::string_view neutral_folder);

  // The first thing of every Timer1 tick, and of nothing else: ticks are counted by it.
  void PerchRead(bool on_perch, std::int32_t status);
  // `milliseconds_ago`: for a write made while the window's thread did not answer.
  void PuffWritten(bool on, PuffBy by, std::int32_t status, std::int64_t milliseconds_ago = 0);
  // `by_trial`: the controller started it, rather than a Play button. A trial's song starts in the
  // tick that drew it, so the settings read now are the draw's.
  void SongStarted(SongKind kind, bool by_trial, const PlaybackHealth& health);
  void SongEnded(SongKind kind, bool ran_to_its_end);
  // After the row is in the window's log; `health` is the player's as it stands now.
  void TrialLogged(SongKind kind, bool on_perch, const PlaybackHealth& health);

  void SongChosen(SongKind kind, std::string_view folder, std::string_view file);
  void FolderChosen(SongKind kind, std::string_view old_folder, std::string_view new_folder);
  // Records each setting whose value differs from the last one recorded.
  void SettingsMayHaveChanged();
  void Started();
  void Stopped();
  void Copied();
  void Cleared();
  // A tick that came `gap_ms` after the one before it, which should have come `ticks_dropped`
  // ticks earlier; `timer` is "trial" (Timer1) or "manual" (Timer2).
  void TicksDropped(std::string_view timer, std::int64_t gap_ms, std::int64_t ticks_dropped);
  // The machine is about to sleep, and has woken after `slept_ms`.
  void MachineSleeps();
  void MachineWoke(std::int64_t slept_ms);
  // A box the program showed: "notice", "error" or "start refused".
  void MessageShown(std::string_view box, std::string_view text);
  // Once: the first reason given is the one recorded.
  void RunEnds(std::string_view reason);
  // A crash's last lines, from its handler, in the event log as it stands: what the crash said,
  // its off-write when one was made (the driver's status), and the run's end for `reason`
  // ("crash SIGSEGV"). No allocation, no lock.
  void RecordCrash(std::string_view reason, std::string_view message,
                   std::optional<std::int32_t> off_status) noexcept;

  std::int64_t Tick() const { return tick_; }

 private:
  struct Song {
    std::string file;
    std::string folder;
  };
  struct Trial {
    SongKind kind = kNoTrial;
    Song song;
    std::int64_t start_tick = 0;
    PlaybackHealth at_start;
    SettingsTexts drawn_with;
    std::chrono::nanoseconds start_read{};
    std::optional<std::int64_t> left_tick;
    std::chrono::nanoseconds left_read{};
    std::optional<std::int64_t> returned_tick;
    bool device_ok = true;
    std::int32_t decisions = 0;
    bool puffed = false;  // a puff of this song's decisions was switched on
  };
  struct TickPuff {
    bool on = false;
    bool held = false;
  };

  Song& ChosenSong(SongKind kind) { return chosen_[kind == kNeutralSong ? 0 : 1]; }
  void Record(std::string_view event, const std::string& details) {
    events_.Record(event, details);
  }

  const LocalClock& clock_;
  const ExperimentSettings& settings_;
  RunClock run_clock_;
  RunFolder folder_;
  TrialJournal journal_;
  TrialTable table_;
  EventLog events_;

  SettingsTexts settings_recorded_;
  std::array<Song, 2> chosen_;
  std::optional<Trial> trial_;
  // Read by a crash handler as well.
  std::atomic<std::int64_t> tick_ = 0;
  std::chrono::nanoseconds tick_read_{};  // when this tick's perch read returned
  std::int64_t trials_ = 0;
  std::optional<bool> on_perch_;
  bool tick_read_ok_ = true;
  bool reads_failing_ = false;
  TickPuff tick_puff_;
  std::atomic<bool> ended_ = false;
};

}  // namespace orvane::record
