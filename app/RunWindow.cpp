#include "app/RunWindow.h"

#include <QCoreApplication>

namespace orvane {

void RunWindow(OrvaneApplication& app, QWidget& window,
               const std::function<void(const std::string& reason)>& note_end, LastAct last_act) {
  const EndRequests end_requests(
      [&window, &note_end](const std::string& reason) {
        if (note_end) {
          note_end(reason);
        }
        if (window.isVisible()) {
          window.close();
        }
        QCoreApplication::quit();
      },
      last_act);
  window.show();
  app.exec();
}

}  // namespace orvane
