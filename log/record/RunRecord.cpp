#include "log/record/RunRecord.h"

#include <QString>
#include <QSysInfo>

#include <utility>

#include "log/FixedText.h"
#include "log/record/RecordText.h"

namespace orvane::record {
namespace {

// An event's details: "key=value" pairs joined by "; ". Names and messages go last, since they
// may hold anything, and never hold a ";" of their own, so that every pair can be split off.
class Details {
 public:
  Details& Add(std::string_view key, std::string_view value) {
    Key(key);
    text_ += value;
    return *this;
  }
  Details& AddName(std::string_view key, std::string_view name) {
    Key(key);
    AppendName(text_, name, ";");
    return *this;
  }
  Details& Add(std::string_view key, std::int64_t value) { return Add(key, std::to_string(value)); }
  const std::string& Text() const { return text_; }

 private:
  void Key(std::string_view key) {
    if (!text_.empty()) {
      text_ += "; ";
    }
    text_ += key;
    text_ += '=';
  }

  std::string text_;
};

std::string_view SongName(SongKind kind) {
  return kind == kNeutralSong ? "good" : "bad";
}

std::string_view ByName(PuffBy by) {
  switch (by) {
    case PuffBy::kTrial:
      return "trial";
    case PuffBy::kManual:
      return "manual";
    case PuffBy::kRewrite:
      return "rewrite";
    case PuffBy::kClose:
      return "close";
    case PuffBy::kStart:
      return "start";
    case PuffBy::kDeadline:
      return "deadline";
    case PuffBy::kWatchdog:
      return "watchdog";
    case PuffBy::kCrash:
      return "crash";
    case PuffBy::kSleep:
      return "sleep";
  }
  return "";
}

// Details in a fixed room, for a crash handler: no allocation.
class FixedDetails {
 public:
  template <typename Value>
  FixedDetails& Add(std::string_view key, Value value) noexcept {
    text_ << (text_.Empty() ? "" : "; ") << key << "=" << value;
    return *this;
  }
  std::string_view Text() const noexcept { return text_.View(); }

 private:
  FixedText<512> text_;
};

std::string OperatingSystem() {
  return (QSysInfo::prettyProductName() + QStringLiteral(" (") + QSysInfo::kernelType() +
          QStringLiteral(" ") + QSysInfo::kernelVersion() + QStringLiteral(", ") +
          QSysInfo::currentCpuArchitecture() + QStringLiteral(")"))
      .toStdString();
}

// A counter that only grows, unless the player opened another song meanwhile.
std::uint64_t Since(std::uint64_t now, std::uint64_t then) {
  return now >= then ? now - then : now;
}

}  // namespace

RunRecord::RunRecord(const Parts& parts)
    : clock_(parts.clock),
      settings_(parts.settings),
      run_clock_(parts.monotonic),
      folder_(parts.folder, parts.clock.Now(), parts.notices),
      journal_(folder_),
      table_(folder_),
      events_(folder_, parts.clock, run_clock_) {}

void RunRecord::BeginRun(std::string_view device, std::string_view bad_folder,
                         std::string_view neutral_folder) {
  settings_recorded_ = ReadSettings(settings_);
  Details details;
  details.Add("version", ORVANE_VERSION).Add("os", OperatingSystem());
  std::string text = details.Text() + "; " + std::string(device);
  Details rest;
  for (std::size_t i = 0; i < kSettingColumns.size(); ++i) {
    rest.Add(kSettingColumns[i], settings_recorded_[i]);
  }
  rest.AddName("bad_folder", bad_folder).AddName("neutral_folder", neutral_folder);
  events_.SetRunStart(text + "; " + rest.Text());
}

void RunRecord::PerchRead(bool on_perch, std::int32_t status) {
  ++tick_;
  tick_read_ = run_clock_.Now();
  tick_puff_ = {};
  tick_read_ok_ = status >= 0;
  if (trial_) {
    trial_->device_ok = trial_->device_ok && tick_read_ok_;
    if (!on_perch && !trial_->left_tick && tick_ > trial_->start_tick) {
      trial_->left_tick = tick_;
      trial_->left_read = tick_read_;
    } else if (on_perch && trial_->left_tick && !trial_->returned_tick) {
      trial_->returned_tick = tick_;
    }
  }
  if (tick_read_ok_ == reads_failing_) {
    reads_failing_ = !tick_read_ok_;
    Details details;
    details.Add("tick", tick_);
    if (reads_failing_) {
      details.Add("status", status);
    }
    Record(reads_failing_ ? "perch_read_failed" : "perch_read_ok", details.Text());
  }
  if (on_perch_ != on_perch) {
    on_perch_ = on_perch;
    Record(on_perch ? "perch_occupied" : "perch_empty", Details().Add("tick", tick_).Text());
  }
}

void RunRecord::PuffWritten(bool on, PuffBy by, std::int32_t status,
                            std::int64_t milliseconds_ago) {
  const bool held = status >= 0;
  if (on && by == PuffBy::kTrial) {
    tick_puff_ = {true, held};
  }
  if (trial_) {
    trial_->device_ok = trial_->device_ok && held;
  }
  const std::string details = Details()
                                  .Add("by", ByName(by))
                                  .Add("held", held ? "1" : "0")
                                  .Add("status", status)
                                  .Add("tick", tick_)
                                  .Text();
  // Closing the valve as the program starts and as the window closes is part of starting and
  // ending, which alone leave no file.
  if (by == PuffBy::kClose || by == PuffBy::kStart) {
    events_.RecordWithOthers(on ? "puff_on" : "puff_off", details);
  } else {
    events_.Record(on ? "puff_on" : "puff_off", details, milliseconds_ago);
  }
}

void RunRecord::SongStarted(SongKind kind, bool by_trial, const PlaybackHealth& health) {
  const Song& song = ChosenSong(kind);
  if (by_trial) {
    trial_.emplace();
    trial_->kind = kind;
    trial_->song = song;
    trial_->start_tick = tick_;
    trial_->at_start = health;
    trial_->drawn_with = ReadSettings(settings_);
    trial_->start_read = tick_read_;
    trial_->device_ok = tick_read_ok_;
  }
  Record("song_start", Details()
                           .Add("song", SongName(kind))
                           .Add("by", by_trial ? "trial" : "button")
                           .Add("tick", tick_)
                           .AddName("folder", song.folder)
                           .AddName("file", song.file)
                           .Text());
}

void RunRecord::SongEnded(SongKind kind, bool ran_to_its_end) {
  Record(ran_to_its_end ? "song_end" : "song_stop",
         Details().Add("song", SongName(kind)).Add("tick", tick_).Text());
}

void RunRecord::TrialLogged(SongKind kind, bool on_perch, const PlaybackHealth& health) {
  SettingsMayHaveChanged();
  TrialRow row;
  row.trial = ++trials_;
  row.logged_at = clock_.Now();
  row.run_milliseconds = run_clock_.Milliseconds();
  row.kind = kind;
  row.decision_tick = tick_;
  row.on_perch = on_perch;
  row.puff_on = tick_puff_.on;
  row.puff_held = tick_puff_.held;
  row.playback.stream = health.stream;
  row.playback.error = health.error;
  row.start_tick = tick_;
  const bool song_known = trial_ && trial_->kind == kind;
  for (std::size_t i = 0; i < row.settings.size(); ++i) {
    if (!kSettingOfTheDraw[i]) {
      row.settings[i] = settings_recorded_[i];
    } else if (song_known) {
      row.settings[i] = trial_->drawn_with[i];
    }
  }
  if (song_known) {
    row.song_file = trial_->song.file;
    row.song_folder = trial_->song.folder;
    row.start_tick = trial_->start_tick;
    row.left_tick = trial_->left_tick;
    row.returned_tick = trial_->returned_tick;
    if (trial_->left_tick) {
      const auto taken = trial_->left_read - trial_->start_read;
      row.left_clock_ms = std::chrono::round<std::chrono::milliseconds>(taken).count();
    }
    row.device_ok = trial_->device_ok;
    row.song_decision = ++trial_->decisions;
    row.after_puff = trial_->puffed;
    // Only a write the driver accepted switched the puffer on.
    trial_->puffed = trial_->puffed || (tick_puff_.on && tick_puff_.held);
    row.playback.frames_owed = Since(health.frames_owed, trial_->at_start.frames_owed);
    row.playback.underflows = Since(health.underflows, trial_->at_start.underflows);
  }
  table_.Append(row);
  Record("decision", Details()
                         .Add("trial", row.trial)
                         .Add("song", SongName(kind))
                         .Add("escaped", on_perch ? "No" : "Yes")
                         .Add("tick", tick_)
                         .Text());
}

void RunRecord::SongChosen(SongKind kind, std::string_view folder, std::string_view file) {
  ChosenSong(kind) = {std::string(file), std::string(folder)};
  Record(
      "song_chosen",
      Details().Add("song", SongName(kind)).AddName("folder", folder).AddName("file", file).Text());
}

void RunRecord::FolderChosen(SongKind kind, std::string_view old_folder,
                             std::string_view new_folder) {
  Record("folder", Details()
                       .Add("song", SongName(kind))
                       .AddName("old", old_folder)
                       .AddName("new", new_folder)
                       .Text());
}

void RunRecord::SettingsMayHaveChanged() {
  const SettingsTexts now = ReadSettings(settings_);
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (now[i] != settings_recorded_[i]) {
      Record("setting", Details()
                            .Add("setting", kSettingColumns[i])
                            .Add("control", kSettingControls[i])
                            .Add("old", settings_recorded_[i])
                            .Add("new", now[i])
                            .Text());
    }
  }
  settings_recorded_ = now;
}

void RunRecord::Started() {
  SettingsMayHaveChanged();
  Record("start", Details().Add("tick", tick_).Text());
}

void RunRecord::Stopped() {
  Record("stop", Details().Add("tick", tick_).Text());
}

void RunRecord::Copied() {
  Record("copy", {});
}

void RunRecord::Cleared() {
  Record("clear", {});
}

void RunRecord::TicksDropped(std::string_view timer, std::int64_t gap_ms,
                             std::int64_t ticks_dropped) {
  Record("tick_stall", Details()
                           .Add("timer", timer)
                           .Add("gap_ms", gap_ms)
                           .Add("ticks_dropped", ticks_dropped)
                           .Add("tick", tick_)
                           .Text());
}

void RunRecord::MachineSleeps() {
  Record("sleep", Details().Add("tick", tick_).Text());
}

void RunRecord::MachineWoke(std::int64_t slept_ms) {
  Record("wake", Details().Add("slept_ms", slept_ms).Add("tick", tick_).Text());
}

void RunRecord::MessageShown(std::string_view box, std::string_view text) {
  events_.RecordWithOthers("message", Details().Add("box", box).AddName("text", text).Text());
}

void RunRecord::RunEnds(std::string_view reason) {
  if (!ended_.exchange(true)) {
    events_.RecordWithOthers("run_end", Details().Add("reason", reason).Text());
  }
}

void RunRecord::RecordCrash(std::string_view reason, std::string_view message,
                            std::optional<std::int32_t> off_status) noexcept {
  if (ended_.exchange(true)) {
    return;
  }
  FixedDetails said;
  said.Add("box", "crash").Add("text", message);
  FixedDetails off;
  if (off_status) {
    off.Add("by", ByName(PuffBy::kCrash))
        .Add("held", *off_status >= 0 ? "1" : "0")
        .Add("status", std::int64_t{*off_status})
        .Add("tick", std::int64_t{tick_.load()});
  }
  FixedDetails end;
  end.Add("reason", reason);
  const EventLog::LastEvent with_off[] = {
      {"message", said.Text()}, {"puff_off", off.Text()}, {"run_end", end.Text()}};
  const EventLog::LastEvent without_off[] = {{"message", said.Text()}, {"run_end", end.Text()}};
  if (off_status) {
    events_.RecordAsLastAct(with_off);
  } else {
    events_.RecordAsLastAct(without_off);
  }
}

}  // namespace orvane::record
