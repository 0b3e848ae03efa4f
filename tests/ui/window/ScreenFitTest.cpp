#include <QRect>

#include <gtest/gtest.h>

#include "ui/window/ScreenFit.h"

namespace orvane {

void PrintTo(const WindowPlace& place, std::ostream* out) {
  *out << "frame corner (" << place.frame_corner.x() << ", " << place.frame_corner.y() << "), size "
       << place.size.width() << " x " << place.size.height();
}

namespace {

TEST(ScreenFit, AWindowTheRoomCannotHoldIsCutToItWithScrollBarsAndItsWholeFrameInside) {
  const QMargins frame(4, 30, 4, 4);
  const int bar = 16;
  const QSize described(813, 758);

  // A full-HD screen holds the window as described, wherever it stands.
  const WindowPlace anywhere{{1000, 150}, described};
  EXPECT_EQ(FitIntoRoom(anywhere, QRect(0, 0, 1920, 1040), frame, bar), anywhere);

  // A laptop's 1366 x 768 less a 40-pixel taskbar: too short only, so it scrolls up and down, and
  // the vertical bar widens it; it moves left and up just enough to show its whole frame.
  EXPECT_EQ(FitIntoRoom(anywhere, QRect(0, 0, 1366, 728), frame, bar),
            (WindowPlace{{529, 0}, {829, 694}}));

  // The taskbar on the left: the room starts beside it, and so does the frame.
  EXPECT_EQ(FitIntoRoom({{20, 150}, described}, QRect(60, 0, 1306, 768), frame, bar),
            (WindowPlace{{60, 0}, {829, 734}}));

  // Too narrow and too short: both bars, and the window takes the whole room.
  EXPECT_EQ(FitIntoRoom(anywhere, QRect(0, 0, 800, 560), frame, bar),
            (WindowPlace{{0, 0}, {792, 526}}));
}

}  // namespace
}  // namespace orvane
