#include "ui/platform/FontFiles.h"

namespace orvane::platform {

// The window's families come with the system here, or not at all.
QStringList FontFilesOfFamily(const QString& /*family*/) {
  return {};
}

}  // namespace orvane::platform
