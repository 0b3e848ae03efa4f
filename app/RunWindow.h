#pragma once

#include <QWidget>

#include <functional>
#include <string>

#include "app/OrvaneApplication.h"
#include "app/platform/EndRequests.h"

namespace orvane {

// Shows the window and runs the event loop until the window is closed: by the user, or by the
// system's request to end the program, which hands `note_end` its reason, closes the window as its
// close box does and also ends the loop of any box that is open. A crash runs `last_act` last.
void RunWindow(OrvaneApplication& app, QWidget& window,
               const std::function<void(const std::string& reason)>& note_end = {},
               LastAct last_act = {});

}  // namespace orvane
