#include "ui/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <initializer_list>

namespace orvane {

namespace {

// Each picture is drawn once in its own design units and scaled to every size an icon holds.
using Drawing = void (*)(QPainter&);

QPixmap Render(Drawing draw, QSizeF design, QSize size, qreal ratio) {
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size.width() / design.width(), size.height() / design.height());
  draw(painter);
  return pixmap;
}

QIcon IconOf(Drawing draw, QSizeF design, std::initializer_list<QSize> sizes) {
  QIcon icon;
  for (const QSize size : sizes) {
    icon.addPixmap(Render(draw, design, size, 1.0));
    icon.addPixmap(Render(draw, design, size, 2.0));
  }
  return icon;
}

QPen Outline(const QColor& colour, qreal width) {
  QPen pen(colour, width);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

// 64 x 64: a finch sitting on a branch, a note above it for its song.
void DrawBirdOnPerch(QPainter& p) {
  const QColor ink(40, 30, 20);

  p.setPen(Outline(ink, 2));
  p.setBrush(QColor(139, 90, 43));
  p.drawRoundedRect(QRectF(4, 48, 56, 7), 3.5, 3.5);

  p.setPen(Outline(QColor(230, 140, 20), 2.5));
  p.drawLine(QPointF(27, 42), QPointF(25, 49));
  p.drawLine(QPointF(34, 42), QPointF(34, 49));

  p.setPen(Outline(ink, 2));
  p.setBrush(QColor(70, 110, 170));
  p.drawPolygon(QPolygonF({QPointF(18, 36), QPointF(3, 47), QPointF(9, 49), QPointF(22, 42)}));

  p.setBrush(QColor(250, 200, 40));
  QPainterPath body;
  body.setFillRule(Qt::WindingFill);
  body.addEllipse(QRectF(13, 24, 32, 21));
  body.addEllipse(QRectF(34, 12, 18, 18));
  p.drawPath(body.simplified());

  p.setBrush(QColor(70, 110, 170));
  QPainterPath wing;
  wing.moveTo(18, 31);
  wing.cubicTo(24, 26, 35, 27, 38, 33);
  wing.cubicTo(33, 40, 23, 41, 18, 31);
  p.drawPath(wing);

  p.setBrush(QColor(240, 120, 30));
  p.drawPolygon(QPolygonF({QPointF(51, 17), QPointF(60, 21), QPointF(51, 25)}));

  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawEllipse(QPointF(45, 19), 2.2, 2.2);

  p.setPen(Outline(ink, 2));
  p.drawLine(QPointF(57, 2), QPointF(57, 11));
  p.drawLine(QPointF(57, 2), QPointF(62, 4));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(54.5, 11), 3, 2.3);
}

// 20 x 16: a yellow folder with its front flap open.
void DrawOpenFolder(QPainter& p) {
  const QColor ink(90, 60, 0);
  p.setPen(Outline(ink, 1));
  p.setBrush(QColor(214, 160, 30));
  p.drawPolygon(QPolygonF({QPointF(1.5, 2.5), QPointF(6.5, 2.5), QPointF(8, 4.5),
                           QPointF(15.5, 4.5), QPointF(15.5, 14.5), QPointF(1.5, 14.5)}));
  p.setBrush(QColor(255, 226, 110));
  p.drawPolygon(
      QPolygonF({QPointF(5, 7.5), QPointF(19, 7.5), QPointF(15.5, 14.5), QPointF(1.5, 14.5)}));
}

// 76 x 60: a round face in profile blowing a puff of air to the right.
void DrawPuffer(QPainter& p) {
  const QColor ink(40, 40, 60);

  p.setPen(Outline(ink, 2));
  p.setBrush(QColor(60, 110, 200));
  QPainterPath shoulders;
  shoulders.moveTo(2, 60);
  shoulders.cubicTo(2, 46, 10, 42, 21, 42);
  shoulders.cubicTo(32, 42, 40, 46, 40, 60);
  p.drawPath(shoulders);

  p.setBrush(QColor(248, 204, 160));
  p.drawEllipse(QPointF(21, 26), 15, 16);
  p.setPen(Outline(ink, 1.5));
  p.setBrush(QColor(240, 150, 140));
  p.drawEllipse(QPointF(28, 31), 5.5, 5);
  p.setPen(Outline(ink, 2));
  p.setBrush(QColor(200, 70, 70));
  p.drawEllipse(QPointF(37, 30), 2.8, 2.8);

  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawEllipse(QPointF(27, 20), 2, 2.4);
  p.setPen(Outline(ink, 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(23, 13, 9, 6), 30 * 16, 120 * 16);
  p.setBrush(QColor(120, 70, 30));
  QPainterPath hair;
  hair.moveTo(7, 22);
  hair.cubicTo(6, 8, 22, 4, 33, 14);
  hair.cubicTo(24, 12, 15, 13, 7, 22);
  p.drawPath(hair);

  p.setPen(Outline(QColor(120, 160, 200), 2));
  p.drawLine(QPointF(43, 22), QPointF(52, 20));
  p.drawLine(QPointF(44, 30), QPointF(54, 30));
  p.drawLine(QPointF(43, 38), QPointF(52, 40));

  p.setPen(Outline(QColor(90, 140, 190), 1.5));
  p.setBrush(QColor(225, 240, 255));
  QPainterPath cloud;
  cloud.setFillRule(Qt::WindingFill);  // overlapping puffs merge into one outline
  cloud.addEllipse(QPointF(62, 30), 11, 11);
  cloud.addEllipse(QPointF(58, 20), 7, 7);
  cloud.addEllipse(QPointF(68, 21), 7, 7);
  cloud.addEllipse(QPointF(57, 40), 7, 7);
  cloud.addEllipse(QPointF(68, 39), 7, 7);
  p.drawPath(cloud.simplified());
}

}  // namespace

void PaintWindowIcon(QPainter& painter, qreal side) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / 64, side / 64);
  DrawBirdOnPerch(painter);
  painter.restore();
}

QIcon WindowIcon() {
  return IconOf(DrawBirdOnPerch, QSizeF(64, 64),
                {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64)});
}

QSize OpenFolderIconSize() {
  return QSize(20, 16);
}

QIcon OpenFolderIcon() {
  return IconOf(DrawOpenFolder, QSizeF(20, 16), {OpenFolderIconSize()});
}

QSize PufferIconSize() {
  return QSize(76, 60);
}

QIcon PufferIcon() {
  return IconOf(DrawPuffer, QSizeF(76, 60), {PufferIconSize()});
}

}  // namespace orvane
