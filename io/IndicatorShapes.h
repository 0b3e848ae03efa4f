#pragma once

#include "control/Colour.h"

namespace orvane {

// The two shapes on the main window that mirror the digital lines: `perch` shows the last perch
// reading, `puff` the last puffer command.
class IndicatorShapes {
 public:
  virtual ~IndicatorShapes() = default;

  virtual void SetPerchColour(Colour colour) = 0;
  virtual void SetPuffColour(Colour colour) = 0;
};

}  // namespace orvane
