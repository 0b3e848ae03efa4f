#include "progress/view/ChartExport.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>

namespace {

QString CannotWrite(const QString& file, const QString& reason) {
  return QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(file), reason);
}

}  // namespace

QByteArray PngOf(QWidget& charts) {
  // Twice the screen's size, sharp enough for a slide or a printed page.
  constexpr int kScale = 2;
  QImage image(charts.size() * kScale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.scale(kScale, kScale);
    charts.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  }
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  return image.save(&out, "PNG") ? bytes : QByteArray();
}

QByteArray SvgOf(QWidget& charts, const QString& title) {
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&out);
  svg.setSize(charts.size());
  svg.setViewBox(QRect(QPoint(), charts.size()));
  svg.setTitle(title);
  QPainter painter;
  if (!painter.begin(&svg)) {
    return {};
  }
  painter.fillRect(QRect(QPoint(), charts.size()), Qt::white);
  charts.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  painter.end();
  return bytes;
}

QString SaveBytes(const QByteArray& bytes, const QString& file) {
  if (bytes.isEmpty()) {
    return CannotWrite(file, QStringLiteral("the picture could not be made"));
  }
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) {
    return CannotWrite(file, out.errorString());
  }
  if (out.write(bytes) != bytes.size() || !out.commit()) {
    return CannotWrite(file, out.errorString());
  }
  return {};
}
