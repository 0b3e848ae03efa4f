#pragma once

#include <string>

#include "control/PlaybackHealth.h"

namespace orvane {

// What the trial controller needs of a song's media player.
class Player {
 public:
  virtual ~Player() = default;

  // Starts the loaded song without waiting for it; throws when the player cannot play.
  virtual void Play() = 0;
  // True once a song has been picked for this player.
  virtual bool Enabled() const = 0;
  // How the song has fared so far; a player that cannot tell reports nothing amiss.
  virtual PlaybackHealth Health() const { return {}; }
  // Why the song of the last Play never reached the sound device, or died on its way there;
  // empty while it sounds or has sounded. Called at a trial's decision, which may fall on the
  // tick the song started: it may then wait a bounded time for the song's start. A trial whose
  // song was lost is not logged as played.
  virtual std::string LostSong() const { return {}; }
};

}  // namespace orvane
