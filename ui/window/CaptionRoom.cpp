#include "ui/window/CaptionRoom.h"

#include <algorithm>

QRect CaptionRoom(const QLabel& caption) {
  const QRect place = caption.geometry();
  int right = place.right() + 1;  // exclusive, in the parent's coordinates
  if (const QWidget* parent = caption.parentWidget()) {
    for (const QWidget* control : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QRect other = control->geometry();
      const bool same_rows = other.top() <= place.bottom() && other.bottom() >= place.top();
      // Hidden controls count too: they may be shown later, and captions are fitted once.
      if (control != &caption && same_rows && other.left() > place.left() &&
          other.left() - kCaptionClearance < right) {
        right = other.left() - kCaptionClearance;
      }
    }
  }
  return {0, 0, std::max(right - place.left(), 0), place.height()};
}
