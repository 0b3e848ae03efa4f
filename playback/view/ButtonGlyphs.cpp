#include "playback/view/ButtonGlyphs.h"

#include <QPainterPath>

#include <algorithm>

void DrawButtonGlyph(QPainter& painter, Glyph glyph, const QRect& button, const QColor& ink) {
  const qreal size = std::max(4.0, std::min(button.width(), button.height()) * 0.4);
  const QPointF centre = QRectF(button).center();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(ink);
  if (glyph == Glyph::kPlay) {
    QPainterPath triangle;
    triangle.moveTo(centre.x() - size * 0.4, centre.y() - size / 2);
    triangle.lineTo(centre.x() + size * 0.5, centre.y());
    triangle.lineTo(centre.x() - size * 0.4, centre.y() + size / 2);
    triangle.closeSubpath();
    painter.drawPath(triangle);
  } else {
    const qreal side = size * 0.8;
    painter.drawRect(QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side));
  }
  painter.restore();
}
