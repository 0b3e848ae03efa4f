#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <string>

#include "control/NoticeBoard.h"

// Shows each posted notice in an error box once the handler that posted it has returned: a box
// opened inside a timer's handler would hold that timer until it is closed. One box at a time,
// in the order posted.
class DeferredNotices final : public QObject, public orvane::NoticeBoard {
  Q_OBJECT

 public:
  using ShowBox = std::function<void(const QString& text)>;

  DeferredNotices(ShowBox show, QObject* parent = nullptr);

  void Post(std::string text) override;
  // Forgets what is waiting and shows nothing more: the window has closed.
  void Discard();

 private:
  void ShowWaiting();

  ShowBox show_;
  std::deque<QString> waiting_;
  bool scheduled_ = false;
  bool showing_ = false;
  bool discarded_ = false;
};
