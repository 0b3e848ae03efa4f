#pragma once

#include <functional>

#include "app/OrvaneApplication.h"

namespace orvane {

// The program after its application object exists: builds the window on the machine's own
// sound device, dialogs, clipboard and clocks, runs it until it is closed (by the experimenter or
// by the system's request to end the program), and shows an error that stops the window being
// built. Returns the exit code, which is 0 whatever happened.
// `first_step`, when given, runs first inside the start-up, so that a test can make it fail.
int RunOrvane(OrvaneApplication& app, const std::function<void()>& first_step = {});

}  // namespace orvane
