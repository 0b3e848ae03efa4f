#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "ui/platform/FontFiles.h"

namespace orvane::platform {

QStringList FontFilesOfFamily(const QString& family) {
  // Debian's fonts-wine installs these into its own data folder, outside fontconfig's paths. Left
  // out: its MS Sans Serif, a bitmap face of three sizes without bold, which Tahoma stands in for;
  // and its bold Tahoma, whose outlines are the regular ones (only its small bitmaps are bold), so
  // Qt draws bold Tahoma by thickening the regular outlines instead.
  QStringList names;
  if (family == QLatin1String("Tahoma")) {
    names = {QStringLiteral("tahoma.ttf")};
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
