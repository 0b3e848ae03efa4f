#pragma once

namespace orvane {

// What the trial controller needs of a song's media player.
class Player {
 public:
  virtual ~Player() = default;

  // Starts the loaded song without waiting for it; throws when the player cannot play.
  virtual void Play() = 0;
  // True once a song has been picked for this player.
  virtual bool Enabled() const = 0;
};

}  // namespace orvane
