#pragma once

// The clipboard the program's Copy writes to.
#if defined(_WIN32)
#include "log/platform/WindowsClipboard.h"
#else
#include "log/QtClipboard.h"
#endif

namespace orvane {

#if defined(_WIN32)
using SystemClipboard = WindowsClipboard;
#else
using SystemClipboard = QtClipboard;
#endif

}  // namespace orvane
