#include "ui/window/LiveProgress.h"

#include <QAction>
#include <QWidget>

LiveProgress::LiveProgress(orvane::LiveRun& run, const ProgressWindow::Setup& setup,
                           QWidget& main_window, QWidget& log_table)
    : run_(run), setup_(setup), main_window_(main_window) {
  action_ = new QAction(QStringLiteral("Show progress…"), this);
  action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  action_->setShortcutContext(Qt::WindowShortcut);
  connect(action_, &QAction::triggered, this, &LiveProgress::Show);
  main_window.addAction(action_);
  log_table.addAction(action_);
  log_table.setContextMenuPolicy(Qt::ActionsContextMenu);
}

LiveProgress::~LiveProgress() {
  run_.Listen({});
}

void LiveProgress::Show() {
  if (window_ == nullptr) {
    // A window of the main window's own: it goes when the main window closes.
    window_ = new ProgressWindow(setup_, &main_window_);
    for (const orvane::TrialRow& row : run_.Rows()) {
      window_->AddTrial(row);
    }
    run_.Listen([window = window_](const orvane::TrialRow& row) {
      if (window != nullptr) {
        window->AddTrial(row);
      }
    });
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}
