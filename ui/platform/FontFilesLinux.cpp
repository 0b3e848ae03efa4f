#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "ui/platform/FontFiles.h"

namespace orvane::platform {

QStringList FontFilesOfFamily(const QString& family) {
  // Debian's fonts-wine installs these into its own data folder, outside fontconfig's paths.
  QStringList names;
  if (family == QLatin1String("Tahoma")) {
    names = {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")};
  } else if (family == QLatin1String("MS Sans Serif")) {
    names = {QStringLiteral("ms_sans_serif.ttf")};
  }
  QStringList files;
  const QStringList folders =
      QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("wine/fonts"),
                                QStandardPaths::LocateDirectory);
  for (const QString& name : names) {
    for (const QString& folder : folders) {
      const QString file = QDir(folder).filePath(name);
      if (QFile::exists(file)) {
        files.append(file);
        break;
      }
    }
  }
  return files;
}

}  // namespace orvane::platform
