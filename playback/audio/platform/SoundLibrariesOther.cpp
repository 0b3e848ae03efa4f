#include "playback/audio/platform/SoundLibraries.h"

namespace orvane {

// The host audio layers here print nothing when they probe.
void QuietSoundLibraries() {}

// The host audio layers here raise their callback thread's priority by themselves.
void RequestRealtimeCallback(PaStream* /*stream*/) {}

void OpenWithRealtimeHelpers(const std::function<void()>& open) {
  open();
}

}  // namespace orvane
