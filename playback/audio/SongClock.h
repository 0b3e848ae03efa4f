#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "control/MonotonicClock.h"
#include "playback/SoundService.h"

namespace orvane {

// Whether a song's plays reach the sound device, judged by the device's own clock: the count of
// frames it has taken from the song's stream, not what was written. A play is heard once that
// count passes its mark; a count that stands still while the song should sound is a stall, and
// the frames the device did not take meanwhile are owed. Its owner guards it.
class SongClock {
 public:
  using TimePoint = MonotonicClock::TimePoint;
  using Duration = std::chrono::steady_clock::duration;

  // A server whose output was idle may take a second or two to ask for a new run's first frames.
  static constexpr std::chrono::milliseconds kStartLimit{3000};
  // Once a run's frames flow, the server asks for more every few tens of milliseconds.
  static constexpr std::chrono::milliseconds kStallLimit{500};

  // The device's count read at `now`, and whether the song should be sounding then.
  void Observe(std::int64_t taken, TimePoint now, bool sounding);
  // A play asked at `now` of a song that is not sounding: it is heard once its run's first frame
  // is taken. The run's start is told by RunStarted.
  void FreshPlay(TimePoint now);
  // A play of a song that sounds: heard once the count moves on from what it reads now.
  void JoiningPlay(TimePoint now);
  // The run of a fresh play has started, with the count at `taken`.
  void RunStarted(std::int64_t taken, TimePoint now);
  // The play failed on its way to the device; `result` says why. The song no longer sounding is
  // observed next.
  void PlayFailed(int result);
  // Nothing was left to sound: the play counts as heard.
  void PlayHeard();

  // The last play as it stands.
  PlayReport Report(TimePoint now) const;
  PlayReport::Stage Stage() const { return stage_; }
  // Whether the count stands still, while the song should sound, for longer than it may.
  bool Stalled(TimePoint now) const;
  // The device's frames owed: those it did not take in stalls, at `rate` frames a second.
  std::uint64_t OwedFrames(TimePoint now, double rate) const;

 private:
  Duration Limit() const { return moved_in_run_ ? Duration(kStallLimit) : Duration(kStartLimit); }
  // A stall that lasts until `now` loses the play in force.
  void JudgeStall();
  // The count moves again, or the device answers, after a stall.
  void EndStall(TimePoint now);

  std::int64_t taken_ = 0;
  TimePoint moved_at_{};       // when the count last moved, or when it was first expected to
  bool moved_in_run_ = false;  // since the run began
  bool sounding_ = false;      // as last observed
  Duration owed_{};            // in stalls that have ended

  PlayReport::Stage stage_ = PlayReport::Stage::kNone;
  int result_ = 0;
  std::int64_t mark_ = 0;  // the count that means heard, once passed
  bool mark_known_ = false;
  TimePoint asked_at_{};
  TimePoint stall_began_{};
  std::optional<TimePoint> stall_ended_;
};

}  // namespace orvane
