#pragma once

#include <atomic>
#include <cstdint>

#include "playback/audio/AudioOutput.h"

namespace orvane {

// The system's default output device through PortAudio. Construct one for the program's life.
class PortAudioOutput final : public AudioOutput {
 public:
  // How much sound the device holds ahead of the song's play position, which is also about how
  // late a song starts. Measured under heavy load with real-time audio threads: at 10 ms most
  // songs had holes, at 20 ms few; beyond that only the start grows later.
  static constexpr double kSuggestedLatencySeconds = 0.02;

  explicit PortAudioOutput(double suggested_latency_seconds = kSuggestedLatencySeconds);
  ~PortAudioOutput() override;
  PortAudioOutput(const PortAudioOutput&) = delete;
  PortAudioOutput& operator=(const PortAudioOutput&) = delete;

  OpenedStream OpenStream(const StreamFormat& format, RenderSource& source) override;
  std::optional<std::string> ErrorText(int result) const override;
  Underruns Counted() const override;

  // Shared by the callbacks of every stream of this device.
  struct Counters {
    std::atomic<std::uint64_t> starved{0};
    std::atomic<std::uint64_t> late{0};
  };

 private:
  double suggested_latency_;
  int initialised_;  // PortAudio's result of its initialisation
  Counters counters_;
};

}  // namespace orvane
