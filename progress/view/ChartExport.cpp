#include "progress/view/ChartExport.h"

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

QString SaveAsPng(QWidget& charts, const QString& file) {
  // Twice the screen's size, sharp enough for a slide or a printed page.
  constexpr int kScale = 2;
  QImage image(charts.size() * kScale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.scale(kScale, kScale);
    charts.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  }
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) {
    return CannotWrite(file, out.errorString());
  }
  if (!image.save(&out, "PNG")) {
    return CannotWrite(file, QStringLiteral("the picture could not be encoded"));
  }
  if (!out.commit()) {
    return CannotWrite(file, out.errorString());
  }
  return {};
}

QString SaveAsSvg(QWidget& charts, const QString& file, const QString& title) {
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) {
    return CannotWrite(file, out.errorString());
  }
  QSvgGenerator svg;
  svg.setOutputDevice(&out);
  svg.setSize(charts.size());
  svg.setViewBox(QRect(QPoint(), charts.size()));
  svg.setTitle(title);
  {
    QPainter painter;
    if (!painter.begin(&svg)) {
      out.cancelWriting();
      return CannotWrite(file, QStringLiteral("the drawing could not be started"));
    }
    painter.fillRect(QRect(QPoint(), charts.size()), Qt::white);
    charts.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  }
  if (!out.commit()) {
    return CannotWrite(file, out.errorString());
  }
  return {};
}

QString SaveText(const QString& text, const QString& file) {
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) {
    return CannotWrite(file, out.errorString());
  }
  const QByteArray bytes = text.toUtf8();
  if (out.write(bytes) != bytes.size() || !out.commit()) {
    return CannotWrite(file, out.errorString());
  }
  return {};
}
