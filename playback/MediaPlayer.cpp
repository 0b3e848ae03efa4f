#include "playback/MediaPlayer.h"

#include <algorithm>
#include <chrono>

#include "playback/Errors.h"

namespace orvane {

namespace {

// A play the device has not taken up within the patience is taken for lost.
bool PendingTooLong(const PlayReport& report) {
  return report.stage == PlayReport::Stage::kPending &&
         report.pending_for >= SoundService::kPatience;
}

}  // namespace

std::string StalledText(std::chrono::milliseconds stalled_for) {
  const auto seconds = std::max<long long>(1, (stalled_for.count() + 500) / 1000);
  return "The sound device stopped playing for " + std::to_string(seconds) +
         " s; trials were not logged meanwhile";
}

std::string MediaPlayer::Text(int result) const {
  return service_.ErrorText(result).value_or(kUnknownErrorMessage);
}

void MediaPlayer::Fail(int result, std::string message) {
  last_result_ = result;
  last_error_ = message.empty() ? Text(result) : std::move(message);
  throw EMCIDeviceError(last_error_);
}

void MediaPlayer::Open() {
  Close();
  OpenedSong opened = service_.Open(file_name_);
  last_result_ = opened.result;
  if (!opened.device) {
    Fail(opened.result, std::move(opened.message));
  }
  device_ = std::move(opened.device);
  ++opened_;
  last_error_.clear();
}

void MediaPlayer::Close() {
  device_.reset();
}

SoundDevice& MediaPlayer::OpenDevice() {
  if (!device_) {
    last_error_ = kNoDeviceOpenMessage;
    throw EMCIDeviceError(kNoDeviceOpenMessage);
  }
  return *device_;
}

void MediaPlayer::Play() {
  SoundDevice& device = OpenDevice();
  // The song's own thread opens a dead stream anew, and the device's clock tells whether the play
  // was heard: nothing here waits on the sound side, and a sound side that fails keeps the song.
  if (device.Position() == device.Length()) {
    last_result_ = device.SeekToStart();
  }
  last_result_ = device.Play();
  played_song_ = opened_;
  last_error_.clear();
}

void MediaPlayer::Stop() {
  last_result_ = OpenDevice().Stop();
  if (last_result_ == kNoAnswerResult) {
    Fail(last_result_);
  }
}

bool MediaPlayer::PlayedThisSong() const {
  // Another song chosen since, or this one closed, ends nothing: the trial goes on.
  return device_ && played_song_ == opened_;
}

std::string MediaPlayer::LostText(const PlayReport& report) const {
  switch (report.stage) {
    case PlayReport::Stage::kFailed:
      return Text(report.result);
    case PlayReport::Stage::kStalled:
      return StalledText(report.stalled_for);
    default:
      return PendingTooLong(report) ? Text(kNotStartedResult) : std::string();
  }
}

std::string MediaPlayer::LostSong() const {
  if (!PlayedThisSong()) {
    return {};
  }
  // A trial can be decided on the tick its song started: its outcome is waited for then, up to
  // the patience counted from the Play. Later it is long known.
  PlayReport report = device_->LastPlay();
  if (report.stage == PlayReport::Stage::kPending && report.pending_for < SoundService::kPatience) {
    report = device_->AwaitPlay(SoundService::kPatience - report.pending_for);
    if (report.stage == PlayReport::Stage::kPending) {
      report.pending_for = std::max(report.pending_for, SoundService::kPatience);
    }
  }
  return LostText(report);
}

void MediaPlayer::SetEnabled(bool enabled) {
  if (enabled == enabled_) {
    return;
  }
  enabled_ = enabled;
  if (listener_) {
    listener_(enabled_);
  }
}

PlaybackHealth MediaPlayer::Health() const {
  PlaybackHealth health;
  if (device_) {
    health = device_->Health();
  } else {
    health.stream = "none";
  }
  // As it stands now, without waiting for a play still on its way: the record asks at every
  // song's start, inside the tick.
  if (const std::string lost = PlayedThisSong() ? LostText(device_->LastPlay()) : std::string();
      !lost.empty()) {
    health.error = lost;
  } else if (const int failure = device_ ? device_->Failure() : 0; failure != 0) {
    health.error = Text(failure);
  } else {
    health.error = last_error_;
  }
  return health;
}

MediaPlayer::State MediaPlayer::CurrentState() const {
  if (device_) {
    return State::kReady;
  }
  return enabled_ ? State::kBroken : State::kIdle;
}

}  // namespace orvane
