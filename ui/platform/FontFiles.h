#pragma once

#include <QString>
#include <QStringList>

namespace orvane::platform {

// Font files on this machine that provide `family` but that the font system does not list
// by itself; empty where the platform has no such files.
QStringList FontFilesOfFamily(const QString& family);

}  // namespace orvane::platform
