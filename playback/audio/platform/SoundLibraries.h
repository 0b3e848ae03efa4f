#pragma once

#include <portaudio.h>

#include <functional>

namespace orvane {

// Keeps the sound libraries from printing their probing of devices and servers on standard
// error. A real failure still comes back as a result code, which the player reports.
void QuietSoundLibraries();

// Asks for real-time scheduling of the stream's callback thread where the host's audio layer
// offers it; where the system refuses, the stream runs as before. Call before starting it.
void RequestRealtimeCallback(PaStream* stream);

// Runs `open` so that the threads the sound libraries start inside it (the connection to a
// sound server among them) get real-time scheduling where the system grants it: they feed the
// device as much as the callback does. The caller's own scheduling is as before afterwards.
void OpenWithRealtimeHelpers(const std::function<void()>& open);

}  // namespace orvane
