#pragma once

#include <string_view>

#include "control/Colour.h"

namespace orvane {

// The parts of the main window that show the run state to the experimenter.
class ControllerView {
 public:
  virtual ~ControllerView() = default;

  virtual void SetWindowColour(Colour colour) = 0;
  // A modal error box titled "Error" with one OK button, at screen position 100, 100.
  virtual void ShowErrorMessage(std::string_view text) = 0;
  // Tells of something that went wrong inside a tick; a window shows it once the tick is over,
  // so that the ticks go on meanwhile. Without one, it is the box above.
  virtual void ShowNotice(std::string_view text) { ShowErrorMessage(text); }
};

}  // namespace orvane
