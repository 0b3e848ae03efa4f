#include "app/SettingsFile.h"

#include <QSettings>

namespace orvane {

std::filesystem::path UserSettingsFile() {
  const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Orvane"),
                           QStringLiteral("Orvane"));
  return std::filesystem::path(settings.fileName().toStdU16String());
}

}  // namespace orvane
