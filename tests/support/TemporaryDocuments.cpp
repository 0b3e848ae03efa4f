#include "tests/support/TemporaryDocuments.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace orvane::testing {

namespace fs = std::filesystem;

TemporaryDocuments::TemporaryDocuments() {
  if (!folder_.isValid()) {
    throw std::runtime_error("no temporary folder for the documents");
  }
  QDir().mkpath(SettingsFolder());
  QDir().mkpath(DocumentsFolder());
  QFile dirs(SettingsFolder() + QStringLiteral("/user-dirs.dirs"));
  if (!dirs.open(QIODevice::WriteOnly) ||
      dirs.write(QStringLiteral("XDG_DOCUMENTS_DIR=\"%1\"\n").arg(DocumentsFolder()).toUtf8()) <
          0) {
    throw std::runtime_error("cannot write the temporary user folder list");
  }
  // The sound server's address and cookie live in the user's own settings folder. Its client
  // wants a folder of its own there, not a link, so the entries are mirrored one by one.
  const QString own_settings = qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")
                                   ? QDir::homePath() + QStringLiteral("/.config")
                                   : qEnvironmentVariable("XDG_CONFIG_HOME");
  const fs::path sound = fs::path(own_settings.toStdString()) / "pulse";
  const fs::path mirror = fs::path(SettingsFolder().toStdString()) / "pulse";
  std::error_code error;
  if (!fs::is_directory(sound, error) || !fs::create_directory(mirror, error)) {
    return;
  }
  fs::permissions(mirror, fs::perms::owner_all, error);
  for (const fs::directory_entry& entry : fs::directory_iterator(sound, error)) {
    const fs::path copy = mirror / entry.path().filename();
    if (entry.is_symlink(error)) {
      fs::create_symlink(fs::read_symlink(entry.path(), error), copy, error);
    } else if (entry.is_regular_file(error)) {
      fs::copy_file(entry.path(), copy, error);
    }
  }
}

void TemporaryDocuments::UseInThisProcess() const {
  qputenv("XDG_CONFIG_HOME", SettingsFolder().toLocal8Bit());
}

}  // namespace orvane::testing
