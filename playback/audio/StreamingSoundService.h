#pragma once

#include "playback/SoundService.h"
#include "playback/audio/AudioOutput.h"

namespace orvane {

// Sound files decoded by libsndfile and streamed to an output device.
class StreamingSoundService final : public SoundService {
 public:
  explicit StreamingSoundService(AudioOutput& output) : output_(output) {}

  OpenedSong Open(const std::string& path) override;
  std::optional<std::string> ErrorText(int result) const override;

 private:
  AudioOutput& output_;
};

}  // namespace orvane
