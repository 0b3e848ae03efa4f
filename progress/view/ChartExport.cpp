#include "progress/view/ChartExport.h"

#include <QDir>
#include <QSaveFile>

namespace {

QString CannotWrite(const QString& file, const QString& reason) {
  return QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(file), reason);
}

}  // namespace

QString SaveBytes(const QByteArray& bytes, const QString& file) {
  if (bytes.isEmpty()) {
    return CannotWrite(file, QStringLiteral("the picture could not be made"));
  }
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) {
    return CannotWrite(file, out.errorString());
  }
  if (out.write(bytes) != bytes.size() || !out.commit()) {
    return CannotWrite(file, out.errorString());
  }
  return {};
}
