#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

#include <utility>

#include "app/platform/EndRequests.h"

namespace orvane {

// The session's end reaches every top-level window as WM_ENDSESSION; the process may be ended as
// soon as the message has been answered, so `end` runs before Qt's own handling of it.
struct EndRequests::Watch final : QAbstractNativeEventFilter {
  explicit Watch(End on_end) : end(std::move(on_end)) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type == "windows_generic_MSG") {
      const MSG* msg = static_cast<const MSG*>(message);
      if (msg->message == WM_ENDSESSION && msg->wParam != FALSE && !ended) {
        ended = true;
        end("session end");
      }
    }
    return false;
  }

  End end;
  bool ended = false;
};

EndRequests::EndRequests(End end) : watch_(std::make_unique<Watch>(std::move(end))) {
  QCoreApplication::instance()->installNativeEventFilter(watch_.get());
}

EndRequests::~EndRequests() {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    app->removeNativeEventFilter(watch_.get());
  }
}

}  // namespace orvane
