#include <QTimer>

#include "ui/RepeatTimer.h"

namespace orvane {

namespace {

class EventLoopRepeatTimer final : public RepeatTimer {
 public:
  EventLoopRepeatTimer() { timer_.setTimerType(Qt::PreciseTimer); }

  void OnTimeout(std::function<void()> handler) override {
    QObject::disconnect(connection_);
    connection_ = QObject::connect(&timer_, &QTimer::timeout, std::move(handler));
  }
  void Start(int milliseconds) override { timer_.start(milliseconds); }
  void SetInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
  void Stop() override { timer_.stop(); }
  bool IsActive() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
  QMetaObject::Connection connection_;
};

}  // namespace

std::unique_ptr<RepeatTimer> MakeEventLoopRepeatTimer() {
  return std::make_unique<EventLoopRepeatTimer>();
}

}  // namespace orvane
