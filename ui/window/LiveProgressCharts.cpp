// The Progress windows the main window and the program's --progress open.
#include "progress/view/ProgressWindow.h"
#include "ui/window/LiveProgress.h"

namespace {

ProgressWindow::Setup SetupOf(const ProgressPlaces& places) {
  return {places.settings_file, places.runs_folder};
}

}  // namespace

QWidget* LiveProgress::MakeWindow() {
  auto* window = new ProgressWindow(SetupOf(places_), &main_window_);
  for (const orvane::TrialRow& row : run_.Rows()) {
    window->AddTrial(row);
  }
  run_.Listen([window = QPointer<ProgressWindow>(window)](const orvane::TrialRow& row) {
    if (window != nullptr) {
      window->AddTrial(row);
    }
  });
  return window;
}

ProgressWindow* LiveProgress::Window() const {
  return static_cast<ProgressWindow*>(window_.data());
}

std::unique_ptr<QWidget> PastRunsWindow(const ProgressPlaces& places,
                                        const std::vector<std::filesystem::path>& files) {
  auto window = std::make_unique<ProgressWindow>(SetupOf(places));
  if (!files.empty()) {
    window->ShowRuns(files);
  }
  return window;
}
