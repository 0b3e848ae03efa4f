// A Qt generic plugin that the Windows package test loads into the unpacked program through Qt's
// own QT_PLUGIN_PATH and QT_QPA_GENERIC_PLUGINS, so the program needs no hook for it. Once the
// main window is shown it opens the Progress window as Ctrl+G does, before any trial, so that it
// follows the run; then it puts the bird on the simulated driver's perch, picks the first song of
// each list and presses Start, as the experimenter would, and at its next step holds the window's
// thread for three seconds. When a counter shows the first decided trial it presses Copy and
// prints what any other program reads from the clipboard, then prints what the Progress window
// says of the run, has it export its charts as a PNG picture and a PDF drawing beside the program
// and prints their sizes, and closes the main window as its close box would.
// Error boxes are printed and dismissed.

#include <windows.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGenericPlugin>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <string>

#include "tests/support/WindowsClipboardText.h"

namespace {

using ScriptRead = void (*)(const unsigned char levels[8]);

QWidget* MainWindow() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == QLatin1String("TForm1") && top->isVisible()) {
      return top;
    }
  }
  return nullptr;
}

// The clipboard's Unicode text with every CR and LF spelled out, one line of output.
std::string ClipboardTextSpelledOut() {
  const std::wstring text = orvane::testing::UnicodeTextOnTheClipboard();
  std::string out;
  for (const wchar_t c : text) {
    if (c == L'\r') {
      out += "\\r";
    } else if (c == L'\n') {
      out += "\\n";
    } else if (c == L'\t') {
      out += "\\t";
    } else {
      out += c < 128 ? static_cast<char>(c) : '?';
    }
  }
  return out;
}

class RunProbe : public QObject {
 public:
  RunProbe() {
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
    timer_.start();
  }

 private:
  void Step() {
    ++steps_;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(top); box != nullptr && box->isVisible()) {
        std::printf("error box: %s\n", qPrintable(box->text()));
        std::fflush(stdout);
        box->accept();
        return;
      }
    }
    QWidget* window = MainWindow();
    if (window == nullptr) {
      return;
    }
    if (!progress_asked_) {
      ShowProgress(*window);
      return;
    }
    if (!started_) {
      Start(*window);
      return;
    }
    if (!held_) {
      HoldTheWindowsThread();
      return;
    }
    if (exported_) {
      ReportExports(*window);
      return;
    }
    if (copied_) {
      ReportProgress();
      return;
    }
    double decided = 0;
    for (const char* counter : {"bad_stay", "bad_escape", "good_stay", "good_escape"}) {
      if (QWidget* label = window->findChild<QWidget*>(QLatin1String(counter))) {
        decided += label->property("value").toDouble();
      }
    }
    // About three minutes of ticks at most; the first trial is decided well within them.
    if (decided > 0 || steps_ > 900) {
      if (auto* copy = window->findChild<QAbstractButton*>(QStringLiteral("copy"))) {
        copy->click();
      }
      std::printf("decided trials: %g\n", decided);
      std::printf("clipboard: %s\n", ClipboardTextSpelledOut().c_str());
      std::fflush(stdout);
      copied_ = true;
    }
  }

  void ShowProgress(QWidget& window) {
    progress_asked_ = true;
    for (QAction* action : window.actions()) {
      if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_G)) {
        // From the loop, as a key press would come: a box it shows must not open inside this
        // timer's own call, which would hold the timer that dismisses it.
        QTimer::singleShot(0, action, &QAction::trigger);
      }
    }
  }

  // The loop has turned since the trial was logged, so the window has drawn it.
  void ReportProgress() {
    exported_ = true;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == QLatin1String("ProgressWindow") && top->isVisible()) {
        const auto* summary = top->findChild<QLabel*>(QStringLiteral("summary"));
        std::printf("progress: %s\n", summary != nullptr ? qPrintable(summary->text()) : "?");
        // As "Export" does once a file is chosen; the files are written off the window's thread.
        for (const char* save : {"SaveChartsAsPng", "SaveChartsAsPdf"}) {
          const QString file = ExportFile(save);
          QFile::remove(file);
          QMetaObject::invokeMethod(top, save, Qt::DirectConnection, Q_ARG(QString, file));
        }
      }
    }
    std::fflush(stdout);
  }

  // Waits a few seconds for both exports, then tells their sizes and ends the run.
  void ReportExports(QWidget& window) {
    const QFileInfo png(ExportFile("SaveChartsAsPng"));
    const QFileInfo pdf(ExportFile("SaveChartsAsPdf"));
    if ((!png.exists() || !pdf.exists()) && ++export_steps_ < 50) {
      return;
    }
    for (const QFileInfo& file : {png, pdf}) {
      std::printf("exported %s: %lld bytes\n", qPrintable(file.fileName()),
                  file.exists() ? static_cast<long long>(file.size()) : -1LL);
    }
    std::fflush(stdout);
    timer_.stop();
    window.close();
  }

  static QString ExportFile(const char* save) {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QLatin1String(save) == QLatin1String("SaveChartsAsPng")
                      ? QStringLiteral("progress.png")
                      : QStringLiteral("progress.pdf"));
  }

  // The window's thread held up for three seconds, as a slow disk or a busy machine holds it; the
  // system's timer thread goes on meanwhile. No trial can be decided this early.
  void HoldTheWindowsThread() {
    held_ = true;
    Sleep(3000);
    std::printf("held the window's thread\n");
    std::fflush(stdout);
  }

  void Start(QWidget& window) {
    started_ = true;
    // The window reads the perch on line 7 of port 2; low is occupied.
    const unsigned char on_perch[8] = {1, 1, 1, 1, 1, 1, 1, 0};
    const auto script = reinterpret_cast<ScriptRead>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"nicaiu.dll"), "SimulatedDriverScriptRead")));
    if (script == nullptr) {
      std::printf("the simulated driver is not loaded\n");
    } else {
      script(on_perch);
    }
    for (const char* name : {"bad_song_list", "good_song_list"}) {
      auto* list = window.findChild<QListWidget*>(QLatin1String(name));
      QStringList entries;
      for (int row = 0; list != nullptr && row < list->count(); ++row) {
        entries << list->item(row)->text();
      }
      std::printf("%s: %s\n", name, qPrintable(entries.join(QStringLiteral(", "))));
      if (list != nullptr && list->count() > 0) {
        list->setCurrentRow(0);
      }
    }
    if (auto* start = window.findChild<QAbstractButton*>(QStringLiteral("Start"))) {
      start->click();
    }
    std::fflush(stdout);
  }

  QTimer timer_;
  bool started_ = false;
  bool held_ = false;
  bool progress_asked_ = false;
  bool copied_ = false;
  bool exported_ = false;
  int steps_ = 0;
  int export_steps_ = 0;
};

}  // namespace

class RunProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "run_probe.json")

 public:
  QObject* create(const QString& /*key*/, const QString& /*parameters*/) override {
    return new RunProbe;
  }
};

#include "RunProbe.moc"
