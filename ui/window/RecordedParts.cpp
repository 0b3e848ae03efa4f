#include "ui/window/RecordedParts.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

using orvane::record::PuffBy;

RecordedLines::RecordedLines(orvane::DigitalLines& lines, orvane::record::RunRecord& record)
    : lines_(lines), record_(record) {
  lines_.ListenToWrites([&record](const orvane::DigitalLines::PufferWrite& write) {
    const auto ago = std::chrono::duration_cast<std::chrono::milliseconds>(
        orvane::DigitalLines::Clock::now() - write.written);
    record.PuffWritten(write.on, write.by, write.status, std::max<std::int64_t>(ago.count(), 0));
  });
}

bool RecordedLines::ReadPerch() {
  const bool on_perch = lines_.ReadPerch();
  record_.PerchRead(on_perch, lines_.LastReadStatus());
  return on_perch;
}

void RecordedLines::RewriteOffPatternIfDue() {
  if (lines_.OffPatternDue()) {
    lines_.WritesBy(PuffBy::kRewrite);
    lines_.PuffOff();
  }
}

void RecordedPlayer::Play() {
  player_.Play();
  Started(true);
}

void RecordedPlayer::Started(bool by_trial) {
  sounding_ = true;
  record_.SongStarted(kind_, by_trial, player_.Health());
}

bool RecordedPlayer::Watch() {
  if (sounding_ && !player_.Sounding()) {
    sounding_ = false;
    record_.SongEnded(kind_, player_.IsOpen() && player_.Position() == player_.Length());
  }
  return sounding_;
}

void RecordedLog::LogTrial(orvane::SongKind kind, bool perch_occupied) {
  log_.LogTrial(kind, perch_occupied);
  record_.TrialLogged(kind, perch_occupied, (kind == orvane::kNeutralSong ? good_ : bad_).Health());
}

std::string DeviceFacts(const orvane::DigitalLines& lines) {
  const auto& on = orvane::kPuffOnPattern;
  const auto valve_line = std::find(on.begin(), on.end(), 1) - on.begin();
  return std::string("driver=") + lines.DriverLibrary() +
         "; driver_loaded=" + (lines.DriverLoaded() ? "1" : "0") +
         "; perch_lines=" + orvane::DigitalLines::kPerchLines +
         "; puffer_lines=" + orvane::DigitalLines::kPufferLines +
         "; valve_line=" + std::to_string(valve_line);
}
