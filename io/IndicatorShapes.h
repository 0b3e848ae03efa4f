#pragma once

#include <string>

#include "control/Colour.h"

namespace orvane {

// The two shapes on the main window that mirror the digital lines: `perch` shows the last perch
// reading, `puff` the last pattern written to the puffer.
class IndicatorShapes {
 public:
  virtual ~IndicatorShapes() = default;

  virtual void SetPerchColour(Colour colour) = 0;
  virtual void SetPuffColour(Colour colour) = 0;
  // While device calls fail the `perch` shape is crossed out over its colour.
  virtual void ShowDeviceFailing(bool failing) = 0;
  // What keeps the valve closed beside the program, told once in the `puff` shape's tooltip.
  virtual void SetPuffNote(const std::string& note) = 0;
};

}  // namespace orvane
