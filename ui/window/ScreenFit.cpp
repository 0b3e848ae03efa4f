#include "ui/window/ScreenFit.h"

#include <QRect>

#include <algorithm>

namespace orvane {

WindowPlace FitIntoRoom(const WindowPlace& window, const QRect& room, const QMargins& frame,
                        int scroll_bar) {
  const QSize most = room.size().shrunkBy(frame);
  QSize fitted = window.size;
  if (fitted.width() <= most.width() && fitted.height() <= most.height()) {
    return window;
  }
  // A scroll bar along one edge takes its breadth from the other direction.
  if (fitted.height() > most.height()) {
    fitted.rwidth() += scroll_bar;
  }
  if (fitted.width() > most.width()) {
    fitted.rheight() += scroll_bar;
  }
  fitted = fitted.boundedTo(most);
  const QPoint corner(
      std::clamp(window.frame_corner.x(), room.left(),
                 room.right() + 1 - fitted.width() - frame.left() - frame.right()),
      std::clamp(window.frame_corner.y(), room.top(),
                 room.bottom() + 1 - fitted.height() - frame.top() - frame.bottom()));
  return {corner, fitted};
}

}  // namespace orvane
