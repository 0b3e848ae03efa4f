#pragma once

#include <QApplication>
#include <exception>
#include <functional>
#include <utility>

#include "app/ErrorBox.h"

namespace orvane {

// The application object. An exception that leaves an event handler (a click, a timer tick, a
// list click) is shown in the error box and the event loop goes on.
class OrvaneApplication : public QApplication {
  Q_OBJECT

 public:
  OrvaneApplication(int& argc, char** argv);

  // The caption of every error box, taken from the executable's name.
  QString ErrorCaption() const { return caption_; }

  // Replaces the modal box, e.g. to collect the errors in a test.
  void SetErrorBox(ErrorBox box);

  // Shows a thrown object in the error box; also for the start-up code's own catch block.
  void ShowException(const std::exception_ptr& thrown);
  // Told the text of each box shown for an exception that left an event handler, before it shows.
  void SetHandlerErrorListener(std::function<void(const QString& text)> listener) {
    handler_error_listener_ = std::move(listener);
  }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QString caption_;
  ErrorBox box_;
  std::function<void(const QString& text)> handler_error_listener_;
};

}  // namespace orvane
