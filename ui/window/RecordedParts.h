#pragma once

#include <string>

#include "control/PerchAndPuffer.h"
#include "control/Player.h"
#include "control/TrialLogger.h"
#include "io/DigitalLines.h"
#include "log/record/RunRecord.h"
#include "playback/MediaPlayer.h"

// The parts the trial controller works through, each passing on what it does to the run's
// record after doing it unchanged.

// The digital lines: the perch read that begins every Timer1 tick, with the driver's status. Every
// write to the puffer reaches the record through the lines' listener of writes; who writes is the
// window's to say, since it knows which handler runs.
class RecordedLines final : public orvane::PerchAndPuffer {
 public:
  RecordedLines(orvane::DigitalLines& lines, orvane::record::RunRecord& record);

  bool ReadPerch() override;
  void PuffOn() override { lines_.PuffOn(); }
  void PuffOff() override { lines_.PuffOff(); }

  void WritesBy(orvane::record::PuffBy by) { lines_.WritesBy(by); }
  // The off pattern again while a failed one is due.
  void RewriteOffPatternIfDue();

 private:
  orvane::DigitalLines& lines_;
  orvane::record::RunRecord& record_;
};

// A song's player: each start, by a trial or by its Play button, and the song's end.
class RecordedPlayer final : public orvane::Player {
 public:
  RecordedPlayer(orvane::MediaPlayer& player, orvane::SongKind kind,
                 orvane::record::RunRecord& record)
      : player_(player), kind_(kind), record_(record) {}

  void Play() override;
  bool Enabled() const override { return player_.Enabled(); }
  orvane::PlaybackHealth Health() const override { return player_.Health(); }
  std::string LostSong() const override { return player_.LostSong(); }

  void PlayedByButton() { Started(false); }
  // Records the end or the stop of a song that no longer sounds; true while it still does.
  bool Watch();

 private:
  void Started(bool by_trial);

  orvane::MediaPlayer& player_;
  orvane::SongKind kind_;
  orvane::record::RunRecord& record_;
  bool sounding_ = false;
};

// The trial log: each logged row, with the health of the song that was played.
class RecordedLog final : public orvane::TrialLogger {
 public:
  RecordedLog(orvane::TrialLogger& log, const orvane::Player& good, const orvane::Player& bad,
              orvane::record::RunRecord& record)
      : log_(log), good_(good), bad_(bad), record_(record) {}

  void LogTrial(orvane::SongKind kind, bool perch_occupied) override;

 private:
  orvane::TrialLogger& log_;
  const orvane::Player& good_;
  const orvane::Player& bad_;
  orvane::record::RunRecord& record_;
};

// The device as the run's start records it: the driver, whether it loaded, the lines.
std::string DeviceFacts(const orvane::DigitalLines& lines);
