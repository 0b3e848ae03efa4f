#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "control/MonotonicClock.h"
#include "playback/SoundService.h"
#include "playback/audio/AudioOutput.h"
#include "playback/audio/DeviceListKeeper.h"
#include "playback/audio/SoundWorker.h"

namespace orvane {

class SongFeed;

// Sound files decoded by libsndfile and streamed to an output device. Opening a song, and
// everything else that may wait on the device, runs on the service's sound worker; the caller
// waits no longer than the patience. The worker also builds the device list anew when a song
// finds it stale. Songs must be closed before their service goes.
class StreamingSoundService final : public SoundService, private DeviceListKeeper {
 public:
  // Over a device that outlives the service, judging its stalls by the system's clock.
  explicit StreamingSoundService(AudioOutput& output);
  // By `clock`, which outlives the service.
  StreamingSoundService(AudioOutput& output, const MonotonicClock& clock);
  // Over a device of its own, closed on the worker at the end, or left to the worker when that
  // does not finish in time.
  explicit StreamingSoundService(std::unique_ptr<AudioOutput> output);
  // Waits at most SoundWorker::kEndPatience for the sound side.
  ~StreamingSoundService() override;
  StreamingSoundService(const StreamingSoundService&) = delete;
  StreamingSoundService& operator=(const StreamingSoundService&) = delete;

  OpenedSong Open(const std::string& path) override;
  std::optional<std::string> ErrorText(int result) const override;

  // Waits until the requests made so far have been served, the device's start among them;
  // false after `patience`. For tools and tests that want the device ready before they begin.
  bool Settle(std::chrono::milliseconds patience);

  // How long a song's thread waits for the worker to build the device list.
  static constexpr std::chrono::milliseconds kRebuildPatience{2000};

 private:
  bool RebuildDeviceList() override;
  // On the worker: puts down every song's stream, then builds the list.
  bool RebuildOnWorker();

  std::unique_ptr<AudioOutput> owned_;
  AudioOutput& output_;
  SteadyClock steady_clock_;
  const MonotonicClock& clock_;
  std::vector<std::weak_ptr<SongFeed>> feeds_;  // the worker's own
  SoundWorker worker_;
};

}  // namespace orvane
