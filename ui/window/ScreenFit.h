#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace orvane {

// A top-level window's place: the outer corner of its frame, and the size inside the frame.
struct WindowPlace {
  QPoint frame_corner;
  QSize size;
  bool operator==(const WindowPlace&) const = default;
};

// Where a window goes on a screen whose free room is `room` (taskbars left out), framed by
// `frame`. A window that fits stays as it is. One that does not is cut to the room, gaining a
// scroll bar's breadth (`scroll_bar`) across each direction that must now scroll, and moves just
// enough for its whole frame to lie in the room.
WindowPlace FitIntoRoom(const WindowPlace& window, const QRect& room, const QMargins& frame,
                        int scroll_bar);

}  // namespace orvane
