#include "ui/SpinButton.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

// A filled triangle built from whole pixel rows, so small arrows stay sharp: `rows` rows, the
// widest 2 * rows - 1 pixels, its tip up or down and centred on `centre`.
void PaintArrow(QPainter& painter, QPoint centre, int rows, bool up, const QColor& colour) {
  const int top = centre.y() - rows / 2;
  for (int row = 0; row < rows; ++row) {
    const int halfWidth = up ? row : rows - 1 - row;
    painter.fillRect(QRect(centre.x() - halfWidth, top + row, 2 * halfWidth + 1, 1), colour);
  }
}

}  // namespace

TCSpinButton::TCSpinButton(QWidget* parent)
    : TCSpinButton(orvane::MakeEventLoopRepeatTimer(), parent) {}

TCSpinButton::TCSpinButton(std::unique_ptr<orvane::RepeatTimer> timer, QWidget* parent)
    : QWidget(parent), timer_(std::move(timer)) {
  timer_->OnTimeout([this] { OnRepeat(); });
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumWidth(kMinimumWidth);
  resize(20, 25);
}

TCSpinButton::~TCSpinButton() {
  timer_->Stop();
}

QRect TCSpinButton::UpperHalf() const {
  return QRect(0, 0, width(), height() / 2);
}

QRect TCSpinButton::LowerHalf() const {
  const int top = height() / 2 - 1;
  return QRect(0, top, width(), height() - top);
}

TCSpinButton::Half TCSpinButton::HalfAt(QPoint point) const {
  if (LowerHalf().contains(point)) {
    return Half::kLower;
  }
  if (UpperHalf().contains(point)) {
    return Half::kUpper;
  }
  return Half::kNone;
}

QRect TCSpinButton::RectOf(Half half) const {
  return half == Half::kUpper ? UpperHalf() : LowerHalf();
}

void TCSpinButton::mousePressEvent(QMouseEvent* event) {
  if (!isEnabled() || event->button() != Qt::LeftButton || held_ != Half::kNone) {
    event->ignore();
    return;
  }
  held_ = HalfAt(event->position().toPoint());
  if (held_ == Half::kNone) {
    return;
  }
  pointerOverHeld_ = true;
  timer_->Start(kFirstRepeatMs);
  repaint();
}

void TCSpinButton::mouseMoveEvent(QMouseEvent* event) {
  if (held_ == Half::kNone) {
    return;
  }
  const bool over = RectOf(held_).contains(event->position().toPoint());
  if (over != pointerOverHeld_) {
    pointerOverHeld_ = over;
    repaint();
  }
}

void TCSpinButton::mouseReleaseEvent(QMouseEvent* event) {
  if (held_ == Half::kNone || event->button() != Qt::LeftButton) {
    return;
  }
  const Half released = held_;
  const bool over = RectOf(released).contains(event->position().toPoint());
  Cancel();
  if (over) {
    Click(released);
  }
}

void TCSpinButton::OnRepeat() {
  // A box that a click opened (an error, say) takes the mouse: the release never comes here.
  const QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal != window()) {
    Cancel();
    return;
  }
  timer_->SetInterval(kRepeatMs);
  if (held_ != Half::kNone && pointerOverHeld_) {
    Click(held_);
  }
}

void TCSpinButton::Click(Half half) {
  if (half == Half::kUpper) {
    emit upClick();
  } else if (half == Half::kLower) {
    emit downClick();
  }
}

void TCSpinButton::Cancel() {
  timer_->Stop();
  held_ = Half::kNone;
  pointerOverHeld_ = false;
  repaint();
}

void TCSpinButton::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) {
    if (!isEnabled()) {
      Cancel();
    } else {
      repaint();
    }
  }
}

void TCSpinButton::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (held_ != Half::kNone) {
    Cancel();
  }
}

void TCSpinButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  // The upper half first: the lower one covers the row they share.
  PaintHalf(painter, Half::kUpper);
  PaintHalf(painter, Half::kLower);
}

void TCSpinButton::PaintHalf(QPainter& painter, Half half) const {
  const QRect r = RectOf(half);
  if (r.width() < 2 || r.height() < 2) {
    return;
  }
  const QPalette& colours = palette();
  const bool pressed = held_ == half && pointerOverHeld_;

  painter.fillRect(r, colours.color(QPalette::Button));
  const QColor shadow = colours.color(QPalette::Shadow);
  const QColor dark = colours.color(QPalette::Dark);
  const QColor light = colours.color(QPalette::Light);
  auto line = [&painter](int x0, int y0, int x1, int y1, const QColor& colour) {
    painter.fillRect(QRect(QPoint(x0, y0), QPoint(x1, y1)).normalized(), colour);
  };
  if (pressed) {
    line(r.left(), r.top(), r.right(), r.top(), dark);
    line(r.left(), r.top(), r.left(), r.bottom(), dark);
    line(r.left(), r.bottom(), r.right(), r.bottom(), shadow);
    line(r.right(), r.top(), r.right(), r.bottom(), shadow);
  } else {
    line(r.left(), r.top(), r.right() - 1, r.top(), light);
    line(r.left(), r.top(), r.left(), r.bottom() - 1, light);
    line(r.left(), r.bottom(), r.right(), r.bottom(), shadow);
    line(r.right(), r.top(), r.right(), r.bottom(), shadow);
    line(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1, dark);
    line(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1, dark);
  }

  // Both arrows the same size, fitted to the smaller upper half.
  const int rows = std::max(1, std::min((r.width() - 4) / 4, (UpperHalf().height() - 5) / 2));
  const int shift = pressed ? 1 : 0;
  const QPoint centre(r.left() + (r.width() - 1) / 2 + shift, r.top() + r.height() / 2 + shift);
  const bool up = half == Half::kUpper;
  if (isEnabled()) {
    PaintArrow(painter, centre, rows, up, colours.color(QPalette::Active, QPalette::ButtonText));
  } else {
    // Etched: a light copy one pixel down and right under the grey arrow.
    PaintArrow(painter, centre + QPoint(1, 1), rows, up, light);
    PaintArrow(painter, centre, rows, up, dark);
  }
}
