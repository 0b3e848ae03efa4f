#include "app/OrvaneApplication.h"

#include "app/ErrorText.h"

namespace orvane {

OrvaneApplication::OrvaneApplication(int& argc, char** argv)
    : QApplication(argc, argv),
      caption_(ErrorBoxCaption(applicationFilePath())),
      box_(ShowModalErrorBox) {}

void OrvaneApplication::SetErrorBox(ErrorBox box) {
  box_ = std::move(box);
}

void OrvaneApplication::ShowException(const std::exception_ptr& thrown) {
  box_(caption_, ErrorBoxText(thrown));
}

bool OrvaneApplication::notify(QObject* receiver, QEvent* event) {
  // Qt tolerates an exception from a handler only when it is caught here, before it reaches the
  // event loop.
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    if (handler_error_listener_) {
      handler_error_listener_(ErrorBoxText(std::current_exception()));
    }
    ShowException(std::current_exception());
    return true;
  }
}

}  // namespace orvane
