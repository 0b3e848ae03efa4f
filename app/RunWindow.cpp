#include "app/RunWindow.h"

#include <QCoreApplication>

#include "app/platform/EndRequests.h"

namespace orvane {

void RunWindow(OrvaneApplication& app, QWidget& window) {
  const EndRequests end_requests([&window] {
    if (window.isVisible()) {
      window.close();
    }
    QCoreApplication::quit();
  });
  window.show();
  app.exec();
}

}  // namespace orvane
