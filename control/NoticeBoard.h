#pragma once

#include <string>

namespace orvane {

// Failures the experimenter must hear of without the work that met them being held up: the window
// shows each posted text in an error box once the handler that posted it has returned, so no
// timer stops while the box is open.
class NoticeBoard {
 public:
  virtual ~NoticeBoard() = default;

  virtual void Post(std::string text) = 0;
};

}  // namespace orvane
