#include "tests/playback/PlayerRig.h"

#include <chrono>
#include <thread>

#include "tests/playback/SongFiles.h"

namespace orvane::testing {

std::vector<float> SongSamples(std::int64_t first, std::int64_t count, int channels) {
  std::vector<float> samples;
  for (std::int64_t f = first; f < first + count; ++f) {
    for (int c = 0; c < channels; ++c) {
      samples.push_back(TestSample(f, c));
    }
  }
  return samples;
}

bool Eventually(const std::function<bool()>& condition) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > give_up) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::vector<float> PlayFrames(PlayerRig& rig, std::int64_t count, int channels) {
  std::vector<float> played;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (count > 0 && std::chrono::steady_clock::now() < give_up) {
    const std::int64_t before = rig.player.Position();
    const std::vector<float> pulled = rig.output.Pull(static_cast<std::size_t>(count));
    const std::int64_t advanced = rig.player.Position() - before;
    played.insert(played.end(), pulled.begin(), pulled.begin() + advanced * channels);
    count -= advanced;
    if (advanced == 0) {
      if (!rig.player.Sounding()) {
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  return played;
}

}  // namespace orvane::testing
