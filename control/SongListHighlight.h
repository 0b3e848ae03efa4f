#pragma once

#include "control/Colour.h"

namespace orvane {

// Background colours of the two song lists, which mark the kind of the running trial.
class SongListHighlight {
 public:
  virtual ~SongListHighlight() = default;

  virtual void SetBadListColour(Colour colour) = 0;
  virtual void SetGoodListColour(Colour colour) = 0;
};

}  // namespace orvane
