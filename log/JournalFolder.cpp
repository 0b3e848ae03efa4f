#include "log/JournalFolder.h"

#include <QStandardPaths>
#include <QString>

namespace orvane {

std::filesystem::path DefaultJournalFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) {
    return {};
  }
  return std::filesystem::path(documents.toStdU16String()) / "Orvane";
}

}  // namespace orvane
