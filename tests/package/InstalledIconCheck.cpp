// Checks that an installed icon theme folder holds the program's own window icon: each PNG is
// pixel for pixel the picture the window paints at that size, and the SVG draws the same picture.
//   installed_icon_check <theme folder> <icon name> <size>...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ui/Pictures.h"

namespace {

QImage Blank(int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

QImage Painted(int side) {
  QImage image = Blank(side);
  QPainter painter(&image);
  orvane::PaintWindowIcon(painter, side);
  return image;
}

// The largest difference of any channel of any pixel, 0 to 255.
int LargestDifference(const QImage& first, const QImage& second) {
  const QImage a = first.convertToFormat(QImage::Format_ARGB32);
  const QImage b = second.convertToFormat(QImage::Format_ARGB32);
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      for (const int d :
           {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q), qAlpha(p) - qAlpha(q)}) {
        largest = std::max(largest, std::abs(d));
      }
    }
  }
  return largest;
}

bool Report(bool ok, const QString& file, const QString& what) {
  std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", qPrintable(file), qPrintable(what));
  return ok;
}

bool CheckPng(const QDir& theme, const QString& name, int side) {
  const QString file = theme.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(side).arg(name));
  const QImage installed(file);
  if (installed.size() != QSize(side, side)) {
    return Report(false, file, QStringLiteral("missing or not %1 x %1 pixels").arg(side));
  }
  // The window's own icon holds some sizes itself; the rest it would draw the same way.
  // Where the window's own icon holds this size the file must be that very image; at the other
  // sizes, the same picture painted at that size.
  const QIcon window = orvane::WindowIcon();
  const QPixmap held = window.pixmap(QSize(side, side), 1.0);
  const bool holds =
      window.availableSizes().contains(QSize(side, side)) && held.size() == QSize(side, side);
  const QImage expected = holds ? held.toImage() : Painted(side);
  const int difference = LargestDifference(installed, expected);
  return Report(difference == 0, file,
                QStringLiteral("largest channel difference %1 from the window's %2")
                    .arg(difference)
                    .arg(holds ? QStringLiteral("icon") : QStringLiteral("painted picture")));
}

bool CheckSvg(const QDir& theme, const QString& name) {
  const QString file = theme.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name));
  QSvgRenderer svg(file);
  if (!svg.isValid()) {
    return Report(false, file, QStringLiteral("missing or not an SVG picture"));
  }
  // Two renderers smooth edges a little differently; a different picture differs by far more.
  constexpr int kSide = 256;
  constexpr int kTolerance = 32;
  QImage rendered = Blank(kSide);
  {
    QPainter painter(&rendered);
    svg.render(&painter);
  }
  const int difference = LargestDifference(rendered, Painted(kSide));
  return Report(difference <= kTolerance, file,
                QStringLiteral("largest channel difference %1 from the painted picture at %2 "
                               "pixels (at most %3)")
                    .arg(difference)
                    .arg(kSide)
                    .arg(kTolerance));
}

}  // namespace

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 4) {
    std::fprintf(stderr, "usage: installed_icon_check <theme folder> <icon name> <size>...\n");
    return 2;
  }
  const QDir theme(args[1]);
  bool ok = CheckSvg(theme, args[2]);
  for (qsizetype i = 3; i < args.size(); ++i) {
    ok = CheckPng(theme, args[2], args[i].toInt()) && ok;
  }
  return ok ? 0 : 1;
}
