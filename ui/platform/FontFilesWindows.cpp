#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "ui/platform/FontFiles.h"

namespace orvane::platform {

QStringList FontFilesOfFamily(const QString& family) {
  // Windows has the window's families. Where the font system lists none of them (Qt's offscreen
  // platform, or a bare Wine profile), font files in a "fonts" folder beside the program stand
  // in: Tahoma, which also draws MS Sans Serif and is thickened for bold where no bold face comes
  // with it, and for Arial its metric twin, which then replaces it.
  QStringList names;
  if (family == QLatin1String("Tahoma")) {
    names = {QStringLiteral("tahoma.ttf")};
  } else if (family == QLatin1String("Arial")) {
    names = {QStringLiteral("LiberationSans-Regular.ttf"),
             QStringLiteral("LiberationSans-Bold.ttf")};
  }
  const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
  QStringList files;
  for (const QString& name : names) {
    if (QFile::exists(folder.filePath(name))) {
      files.append(folder.filePath(name));
    }
  }
  return files;
}

}  // namespace orvane::platform
