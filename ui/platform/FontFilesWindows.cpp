#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "ui/platform/FontFiles.h"

namespace orvane::platform {

QStringList FontFilesOfFamily(const QString& family) {
  // Windows has the window's families. Where the font system lists none of them (Qt's offscreen
  // platform, or a bare Wine profile), font files in a "fonts" folder beside the program stand
  // in: the families themselves, or for Arial its metric twin, which then replaces it.
  QStringList names;
  if (family == QLatin1String("Tahoma")) {
    names = {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")};
  } else if (family == QLatin1String("MS Sans Serif")) {
    names = {QStringLiteral("ms_sans_serif.ttf")};
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
