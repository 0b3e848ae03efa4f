#include "playback/audio/platform/SoundLibraries.h"

namespace orvane {

// The host audio layers here print nothing when they probe.
void QuietSoundLibraries() {}

void OpenWithRealtimeHelpers(const std::function<void()>& open) {
  open();
}

// WASAPI's buffer is the device's, which takes from it in steps of its 10 ms period.
double HostBufferSeconds(double held_ahead) {
  return held_ahead;
}

void ConfigureHostBuffers() {}

// WASAPI's client keeps its buffer across a stop until it is reset, which PortAudio's blocking
// streams never ask for.
bool StopKeepsHostBuffer() {
  return true;
}

}  // namespace orvane
