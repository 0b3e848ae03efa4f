#pragma once

#include "playback/audio/AudioOutput.h"

namespace orvane {

// The system's default output device through PortAudio. Construct one for the program's life.
class PortAudioOutput final : public AudioOutput {
 public:
  PortAudioOutput();
  ~PortAudioOutput() override;
  PortAudioOutput(const PortAudioOutput&) = delete;
  PortAudioOutput& operator=(const PortAudioOutput&) = delete;

  OpenedStream OpenStream(const StreamFormat& format, RenderSource& source) override;
  std::optional<std::string> ErrorText(int result) const override;

 private:
  int initialised_;  // PortAudio's result of its initialisation
};

}  // namespace orvane
