#pragma once

#include <QObject>
#include <QPointer>

#include "progress/LiveRun.h"
#include "progress/view/ProgressWindow.h"

class QAction;
class QWidget;

// The main window's way to the "Progress" window of its own run: "Show progress…" in the log
// table's context menu and Ctrl+G in the main window. The window is made when first asked for and
// from then on follows every trial of the run; closing it only hides it. Goes before the run.
class LiveProgress : public QObject {
  Q_OBJECT

 public:
  LiveProgress(orvane::LiveRun& run, const ProgressWindow::Setup& setup, QWidget& main_window,
               QWidget& log_table);
  ~LiveProgress() override;

  // Shows the window, made with the run's trials so far the first time, and brings it to the front.
  void Show();
  // Nothing before the first Show().
  ProgressWindow* Window() const { return window_; }
  QAction& ShowAction() const { return *action_; }

 private:
  orvane::LiveRun& run_;
  ProgressWindow::Setup setup_;
  QWidget& main_window_;
  QAction* action_;
  QPointer<ProgressWindow> window_;
};
