#pragma once

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
};

}  // namespace orvane
