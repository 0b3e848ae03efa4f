#pragma once

#include <memory>

#include "ui/window/MachinePower.h"

namespace orvane {

// The system's own power management: systemd-logind over D-Bus on Linux, the power functions and
// messages of Windows. Needs the application object.
std::unique_ptr<MachinePower> MakeSystemPower();

}  // namespace orvane
