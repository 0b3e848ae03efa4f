#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "control/MonotonicClock.h"
#include "playback/MediaPlayer.h"
#include "playback/audio/StreamingSoundService.h"
#include "playback/audio/VirtualOutput.h"

namespace orvane::testing {

// A clock of the sound side that moves only when the test moves it, so that how long a device
// stood still is the test's to say, however slow the machine.
class HeldClock final : public MonotonicClock {
 public:
  TimePoint Now() const override { return now_.load(); }
  void Advance(std::chrono::milliseconds by) { now_.store(now_.load() + by); }

 private:
  std::atomic<TimePoint> now_{TimePoint{} + std::chrono::hours(1)};
};

// A media player on the real decoder and a virtual output device that the test pulls, its stalls
// judged by a held clock.
struct PlayerRig {
  VirtualOutput output;
  HeldClock clock;
  StreamingSoundService service{output, clock};
  MediaPlayer player{service};
};

// The samples that frames [first, first + count) of a test song hold.
std::vector<float> SongSamples(std::int64_t first, std::int64_t count, int channels = 1);

// Waits for the condition, however slow the machine; false only after a generous bound.
bool Eventually(const std::function<bool()>& condition);

// Pulls until the player has advanced by count frames (the reader may lag behind the pulls),
// and returns exactly the frames it played. Gives up after a generous bound.
std::vector<float> PlayFrames(PlayerRig& rig, std::int64_t count, int channels = 1);

}  // namespace orvane::testing
