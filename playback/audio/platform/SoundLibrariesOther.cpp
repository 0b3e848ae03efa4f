#include "playback/audio/platform/SoundLibraries.h"

namespace orvane {

// The host audio layers here print nothing when they probe.
void QuietSoundLibraries() {}

void OpenWithRealtimeHelpers(const std::function<void()>& open) {
  open();
}

}  // namespace orvane
