#pragma once

#include <QWidget>

#include "app/OrvaneApplication.h"

namespace orvane {

// Shows the window and runs the event loop until the window is closed: by the user, or by the
// system's request to end the program, which closes it as its close box does and also ends the
// loop of any box that is open.
void RunWindow(OrvaneApplication& app, QWidget& window);

}  // namespace orvane
