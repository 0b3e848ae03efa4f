#include "playback/audio/SongClock.h"

namespace orvane {

namespace {

std::chrono::milliseconds Milliseconds(SongClock::Duration duration) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(duration);
}

}  // namespace

void SongClock::Observe(std::int64_t taken, TimePoint now, bool sounding) {
  if (taken > taken_) {
    if (Stalled(now)) {
      JudgeStall();
      EndStall(now);
    }
    taken_ = taken;
    moved_at_ = now;
    moved_in_run_ = true;
    if (stage_ == PlayReport::Stage::kPending && mark_known_ && taken_ >= mark_) {
      stage_ = PlayReport::Stage::kReached;
    }
  } else if (Stalled(now)) {
    JudgeStall();
    if (!sounding) {
      EndStall(now);  // the song no longer sounds; what it was owed stays owed
    }
  }
  if (!sounding) {
    // Nothing is owed while the song is silent: a later play counts from its own start.
    moved_at_ = now;
  }
  sounding_ = sounding;
}

void SongClock::FreshPlay(TimePoint now) {
  stage_ = PlayReport::Stage::kPending;
  result_ = 0;
  asked_at_ = now;
  mark_known_ = false;
  stall_ended_.reset();
  if (!sounding_) {
    moved_at_ = now;
    moved_in_run_ = false;
  }
  sounding_ = true;
}

void SongClock::JoiningPlay(TimePoint now) {
  stage_ = PlayReport::Stage::kPending;
  result_ = 0;
  asked_at_ = now;
  // A run still waiting for its start sets the mark as it starts: the count read now is the
  // last run's, which any move of the device, played or not, would pass.
  if (mark_known_) {
    mark_ = taken_ + 1;
  }
  stall_ended_.reset();
  if (Stalled(now)) {
    JudgeStall();
  }
}

void SongClock::RunStarted(std::int64_t taken, TimePoint now) {
  // The run's start waited on the device for as long as it stood still.
  if (Stalled(now)) {
    JudgeStall();
    EndStall(now);
  }
  taken_ = taken;
  mark_ = taken + 1;
  mark_known_ = true;
  moved_at_ = now;
  moved_in_run_ = false;
}

void SongClock::PlayFailed(int result) {
  stage_ = PlayReport::Stage::kFailed;
  result_ = result;
}

void SongClock::PlayHeard() {
  if (stage_ == PlayReport::Stage::kPending) {
    stage_ = PlayReport::Stage::kReached;
  }
}

void SongClock::JudgeStall() {
  if (stage_ == PlayReport::Stage::kPending || stage_ == PlayReport::Stage::kReached) {
    stage_ = PlayReport::Stage::kStalled;
    stall_began_ = moved_at_;
    stall_ended_.reset();
  }
}

void SongClock::EndStall(TimePoint now) {
  owed_ += now - moved_at_;
  if (stage_ == PlayReport::Stage::kStalled && !stall_ended_ && stall_began_ == moved_at_) {
    stall_ended_ = now;
  }
}

bool SongClock::Stalled(TimePoint now) const {
  return sounding_ && now - moved_at_ >= Limit();
}

PlayReport SongClock::Report(TimePoint now) const {
  PlayReport report;
  report.stage = stage_;
  report.result = result_;
  if (stage_ == PlayReport::Stage::kPending) {
    report.pending_for = Milliseconds(now - asked_at_);
  }
  if (stage_ == PlayReport::Stage::kStalled) {
    report.stalled_for = Milliseconds(stall_ended_.value_or(now) - stall_began_);
  }
  return report;
}

std::uint64_t SongClock::OwedFrames(TimePoint now, double rate) const {
  const Duration owed = owed_ + (Stalled(now) ? now - moved_at_ : Duration{});
  return static_cast<std::uint64_t>(std::chrono::duration<double>(owed).count() * rate);
}

}  // namespace orvane
