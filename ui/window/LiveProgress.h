#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <vector>

#include "progress/LiveRun.h"

class QAction;
class ProgressWindow;

// Where the Progress windows remember their block size (an INI file), and where "Open runs…"
// starts looking: the folder the runs' tables are saved in.
struct ProgressPlaces {
  QString settings_file;
  QString runs_folder;
};

// The main window's way to the "Progress" window of its own run: "Show progress…" in the log
// table's context menu and Ctrl+G in the main window. The window is made when first asked for and
// from then on follows every trial of the run; closing it only hides it. Goes before the run.
class LiveProgress : public QObject {
  Q_OBJECT

 public:
  LiveProgress(orvane::LiveRun& run, ProgressPlaces places, QWidget& main_window,
               QWidget& log_table);
  ~LiveProgress() override;

  // Shows the window, made with the run's trials so far the first time, and brings it to the front.
  void Show();
  // Nothing before the first Show().
  ProgressWindow* Window() const;
  QAction& ShowAction() const { return *action_; }

 private:
  // A window of the main window's own, which goes when the main window closes.
  QWidget* MakeWindow();

  orvane::LiveRun& run_;
  ProgressPlaces places_;
  QWidget& main_window_;
  QAction* action_;
  QPointer<QWidget> window_;
};

// The "Progress" window alone, showing the runs of these trial tables.
std::unique_ptr<QWidget> PastRunsWindow(const ProgressPlaces& places,
                                        const std::vector<std::filesystem::path>& files);
