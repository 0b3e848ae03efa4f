#include "app/RunProgress.h"

#include <QString>

#include <algorithm>
#include <exception>
#include <system_error>

#include "app/RunWindow.h"
#include "app/SettingsFile.h"
#include "log/JournalFolder.h"
#include "ui/Fonts.h"
#include "ui/window/LiveProgress.h"

namespace orvane {

std::optional<std::vector<std::filesystem::path>> ProgressFiles(
    const std::vector<std::filesystem::path>& arguments) {
  const auto at =
      std::find(arguments.begin(), arguments.end(), std::filesystem::path("--progress"));
  if (at == arguments.end()) {
    return std::nullopt;
  }
  std::vector<std::filesystem::path> files;
  for (auto file = std::next(at); file != arguments.end(); ++file) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(*file, error);
    files.push_back(error ? *file : absolute);
  }
  return files;
}

int RunProgress(OrvaneApplication& app, const std::vector<std::filesystem::path>& files) {
  try {
    SetUpWindowFonts();
    std::unique_ptr<QWidget> window =
        PastRunsWindow({QString::fromStdU16String(UserSettingsFile().u16string()),
                        QString::fromStdU16String(DefaultJournalFolder().u16string())},
                       files);
    RunWindow(app, *window);
    // Left to the system, which frees it at once: taking apart the charts of a million trials
    // would hold up the end for seconds after the window has gone.
    static_cast<void>(window.release());
  } catch (...) {
    app.ShowException(std::current_exception());
  }
  return 0;
}

}  // namespace orvane
