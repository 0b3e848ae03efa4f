#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "playback/MediaPlayer.h"
#include "playback/audio/StreamingSoundService.h"
#include "playback/audio/VirtualOutput.h"

namespace orvane::testing {

// A media player on the real decoder and a virtual output device that the test pulls.
struct PlayerRig {
  VirtualOutput output;
  StreamingSoundService service{output};
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
