#include "playback/MediaPlayer.h"

#include "playback/Errors.h"

namespace orvane {

void MediaPlayer::Open() {
  Close();
  OpenedSong opened = service_.Open(file_name_);
  last_result_ = opened.result;
  if (!opened.device) {
    throw EMCIDeviceError(service_.ErrorText(opened.result).value_or(kUnknownErrorMessage));
  }
  device_ = std::move(opened.device);
}

void MediaPlayer::Close() {
  device_.reset();
}

SoundDevice& MediaPlayer::OpenDevice() const {
  if (!device_) {
    throw EMCIDeviceError(kNoDeviceOpenMessage);
  }
  return *device_;
}

void MediaPlayer::Play() {
  SoundDevice& device = OpenDevice();
  if (device.Position() == device.Length()) {
    last_result_ = device.SeekToStart();
  }
  last_result_ = device.Play();
}

void MediaPlayer::Stop() {
  last_result_ = OpenDevice().Stop();
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
  health.stream = device_ ? "ready" : "none";
  return health;
}

MediaPlayer::State MediaPlayer::CurrentState() const {
  if (device_) {
    return State::kReady;
  }
  return enabled_ ? State::kBroken : State::kIdle;
}

}  // namespace orvane
