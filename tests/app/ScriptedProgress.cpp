// The program's "--progress" entry as main runs it, watched instead of looked at: once its window
// has read the tables it says "title <title>", then "problem <text>" for each message it shows and
// "trials <n> runs <r>", and closes the window as its close box does. Error boxes are written out
// as "box <text>".
#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "app/OrvaneApplication.h"
#include "app/RunProgress.h"
#include "app/platform/CommandLine.h"
#include "progress/view/ProgressWindow.h"

namespace {

void Say(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

void SayWhatItShowsAndClose() {
  ProgressWindow* window = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* shown = qobject_cast<ProgressWindow*>(widget); shown && shown->isVisible()) {
      window = shown;
    }
  }
  if (window == nullptr || window->windowTitle().endsWith(QStringLiteral("reading…"))) {
    QTimer::singleShot(10, SayWhatItShowsAndClose);
    return;
  }
  Say(QStringLiteral("title ") + window->windowTitle());
  for (const QString& problem : window->Problems()) {
    Say(QStringLiteral("problem ") + problem);
  }
  Say(QStringLiteral("trials %1 runs %2")
          .arg(window->Plot().Decisions())
          .arg(window->Plot().Runs().size()));
  window->close();
}

}  // namespace

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication app(argc, argv);
  app.SetErrorBox([](const QString&, const QString& text) { Say(QStringLiteral("box ") + text); });
  const auto files = orvane::ProgressFiles(orvane::CommandLineArguments(argc, argv));
  if (!files) {
    Say(QStringLiteral("no --progress"));
    return 2;
  }
  QTimer::singleShot(0, SayWhatItShowsAndClose);
  return orvane::RunProgress(app, *files);
}
