#pragma once

#include "playback/FileList.h"
#include "playback/MediaPlayer.h"

namespace orvane {

// Loads the list's selected song into the player. The player is enabled before anything can
// fail, so a failed open leaves it enabled without a song (EMCIDeviceError propagates).
void SelectSong(const FileList& list, MediaPlayer& player);

}  // namespace orvane
