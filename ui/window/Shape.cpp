#include "ui/window/Shape.h"

#include <QPainter>

QColor ToQColor(orvane::Colour colour) {
  return QColor(orvane::RedOf(colour), orvane::GreenOf(colour), orvane::BlueOf(colour));
}

TShape::TShape(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
}

void TShape::SetShapeKind(const QString& kind) {
  kind_ = kind;
  update();
}

void TShape::SetBrushColor(const QColor& colour) {
  if (colour != brush_) {
    brush_ = colour;
    repaint();
  }
}

void TShape::SetBrushColour(orvane::Colour colour) {
  SetBrushColor(ToQColor(colour));
}

void TShape::SetPenColor(const QColor& colour) {
  pen_ = colour;
  update();
}

void TShape::SetCrossed(bool crossed) {
  if (crossed != crossed_) {
    crossed_ = crossed;
    repaint();
  }
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect outline = rect().adjusted(0, 0, -1, -1);
  const auto draw = [&] {
    if (kind_ == QLatin1String("circle")) {
      painter.setRenderHint(QPainter::Antialiasing);
      painter.drawEllipse(outline);
    } else {
      painter.drawRect(outline);
    }
  };
  painter.setPen(QPen(pen_, 1));
  painter.setBrush(brush_);
  draw();
  if (crossed_) {
    // Dark lines on a light colour and light ones on a dark colour, so the cross always shows.
    const QColor lines = brush_.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    painter.setBrush(QBrush(lines, Qt::DiagCrossPattern));
    draw();
  }
}
