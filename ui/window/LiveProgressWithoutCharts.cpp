// The Progress windows where the program is built without the library that draws their charts:
// asking for one says so, as an error box.
#include <stdexcept>

#include "ui/window/LiveProgress.h"

QWidget* LiveProgress::MakeWindow() {
  throw std::runtime_error(kNoProgressCharts);
}

ProgressWindow* LiveProgress::Window() const {
  return nullptr;
}

std::unique_ptr<QWidget> PastRunsWindow(const ProgressPlaces&,
                                        const std::vector<std::filesystem::path>&) {
  throw std::runtime_error(kNoProgressCharts);
}
