#include "ui/window/LiveProgress.h"

#include <QAction>

LiveProgress::LiveProgress(orvane::LiveRun& run, ProgressPlaces places, QWidget& main_window,
                           QWidget& log_table)
    : run_(run), places_(std::move(places)), main_window_(main_window) {
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
    window_ = MakeWindow();
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}
