#include "app/RunProgress.h"

#include <QFileInfo>

#include <exception>

#include "app/RunWindow.h"
#include "app/SettingsFile.h"
#include "log/JournalFolder.h"
#include "ui/Fonts.h"
#include "ui/window/LiveProgress.h"

namespace orvane {

std::optional<QStringList> ProgressFiles(const QStringList& arguments) {
  const qsizetype at = arguments.indexOf(QStringLiteral("--progress"));
  if (at < 0) {
    return std::nullopt;
  }
  QStringList files;
  for (const QString& file : arguments.mid(at + 1)) {
    files.append(QFileInfo(file).absoluteFilePath());
  }
  return files;
}

int RunProgress(OrvaneApplication& app, const QStringList& files) {
  try {
    SetUpWindowFonts();
    const std::unique_ptr<QWidget> window =
        PastRunsWindow({QString::fromStdU16String(UserSettingsFile().u16string()),
                        QString::fromStdU16String(DefaultJournalFolder().u16string())},
                       files);
    RunWindow(app, *window);
  } catch (...) {
    app.ShowException(std::current_exception());
  }
  return 0;
}

}  // namespace orvane
