#include "ui/window/DeferredNotices.h"

#include <utility>

DeferredNotices::DeferredNotices(ShowBox show, QObject* parent)
    : QObject(parent), show_(std::move(show)) {}

void DeferredNotices::Post(std::string text) {
  if (discarded_) {
    return;
  }
  waiting_.push_back(QString::fromStdString(text));
  // While a box is open the loop below shows this one next; a second loop would stack boxes.
  if (!scheduled_ && !showing_) {
    scheduled_ = true;
    QMetaObject::invokeMethod(this, &DeferredNotices::ShowWaiting, Qt::QueuedConnection);
  }
}

void DeferredNotices::Discard() {
  discarded_ = true;
  waiting_.clear();
}

void DeferredNotices::ShowWaiting() {
  scheduled_ = false;
  showing_ = true;
  while (!waiting_.empty() && !discarded_) {
    const QString text = std::move(waiting_.front());
    waiting_.pop_front();
    show_(text);
  }
  showing_ = false;
}
