#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

#include "playback/audio/AudioOutput.h"

namespace orvane {

// The system's default output device through PortAudio's blocking streams, which start with the
// first frames written rather than with a buffer of silence: a song is held well ahead and still
// starts at once. PortAudio's own state (its start, the opening and closing of streams, its list
// of devices) is guarded here, so the sound worker and a song's thread may open streams side by
// side.
class PortAudioOutput final : public AudioOutput {
 public:
  // How much of a song the device holds ahead of its sound: a usual song whole. A stall of the
  // program, or of the sound server's main thread, shorter than this leaves no hole; a 20 ms
  // buffer left holes under load, and half a second still did in songs longer than it.
  static constexpr double kHeldAheadSeconds = 2.0;

  explicit PortAudioOutput(double held_ahead_seconds = kHeldAheadSeconds);
  ~PortAudioOutput() override;
  PortAudioOutput(const PortAudioOutput&) = delete;
  PortAudioOutput& operator=(const PortAudioOutput&) = delete;

  void Prepare() override;
  int MaxChannels() override;
  OpenedStream OpenStream(const StreamFormat& format, StreamCounters& counters) override;
  std::optional<std::string> ErrorText(int result) const override;
  bool ListOutdated() override;
  bool ListMayBeStale(int result) override;
  // Terminates PortAudio and starts it again, which finds the devices anew.
  bool Rebuild() override;

 private:
  // PortAudio's own calls other than a stream's start, writes and stop, and what follows.
  mutable std::mutex library_;

  int InitialisedLocked();

  double held_ahead_;
  std::optional<int> initialised_;  // PortAudio's result of its initialisation, once tried
  std::size_t open_streams_ = 0;
  std::string listed_default_;  // the system's default output as the list was built
  // Of the device the last open went to. Under a lock of its own: the window's thread reads it
  // for a message and must never wait on a PortAudio call that hangs on a stalled server.
  mutable std::mutex name_mutex_;
  std::string device_name_;
};

}  // namespace orvane
