#pragma once

#include <functional>

namespace orvane {

// Keeps the sound libraries from printing their probing of devices and servers on standard
// error. A real failure still comes back as a result code, which the player reports.
void QuietSoundLibraries();

// Runs `open` so that the threads the sound libraries start inside it (the connection to a
// sound server among them) get real-time scheduling where the system grants it: they carry the
// songs to the server. The caller's own scheduling is as before afterwards.
void OpenWithRealtimeHelpers(const std::function<void()>& open);

}  // namespace orvane
