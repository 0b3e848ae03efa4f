#include "playback/SongSelection.h"

namespace orvane {

void SelectSong(const FileList& list, MediaPlayer& player) {
  player.SetEnabled(true);
  player.SetFileName(list.FileName());
  player.Open();
}

}  // namespace orvane
