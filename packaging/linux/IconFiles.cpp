// Writes the window icon as the desktop's icon files: a scalable SVG and a PNG for each size
// asked for, laid out as an icon theme folder expects them.
//   orvane_icon_files <theme folder> <icon name> <size>...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "ui/Pictures.h"

namespace {

constexpr int kSvgSide = 64;

bool WriteSvg(const QString& folder, const QString& name) {
  if (!QDir().mkpath(folder)) {
    return false;
  }
  QSvgGenerator svg;
  svg.setFileName(QDir(folder).filePath(name + QStringLiteral(".svg")));
  svg.setSize(QSize(kSvgSide, kSvgSide));
  svg.setViewBox(QRect(0, 0, kSvgSide, kSvgSide));
  svg.setTitle(QStringLiteral("Orvane"));
  QPainter painter;
  if (!painter.begin(&svg)) {
    return false;
  }
  orvane::PaintWindowIcon(painter, kSvgSide);
  return painter.end();
}

bool WritePng(const QString& folder, const QString& name, int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    orvane::PaintWindowIcon(painter, side);
  }
  return QDir().mkpath(folder) && image.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

}  // namespace

int main(int argc, char* argv[]) {
  // Drawing needs no screen; the offscreen platform lets this run on a build machine without one.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 4) {
    std::fprintf(stderr, "usage: orvane_icon_files <theme folder> <icon name> <size>...\n");
    return 2;
  }
  const QDir theme(args[1]);
  const QString& name = args[2];
  if (!WriteSvg(theme.filePath(QStringLiteral("scalable/apps")), name)) {
    std::fprintf(stderr, "orvane_icon_files: cannot write the SVG icon under %s\n",
                 qPrintable(theme.path()));
    return 1;
  }
  for (qsizetype i = 3; i < args.size(); ++i) {
    bool number = false;
    const int side = args[i].toInt(&number);
    const QString folder = theme.filePath(QStringLiteral("%1x%1/apps").arg(side));
    if (!number || side <= 0 || !WritePng(folder, name, side)) {
      std::fprintf(stderr, "orvane_icon_files: cannot write the %s pixel icon under %s\n",
                   qPrintable(args[i]), qPrintable(theme.path()));
      return 1;
    }
  }
  return 0;
}
