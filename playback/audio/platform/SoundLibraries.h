#pragma once

#include <portaudio.h>

namespace orvane {

// Keeps the sound libraries from printing their probing of devices and servers on standard
// error. A real failure still comes back as a result code, which the player reports.
void QuietSoundLibraries();

// Asks for real-time scheduling of the stream's callback thread where the host's audio layer
// offers it; where the system refuses, the stream runs as before. Call before starting it.
void RequestRealtimeCallback(PaStream* stream);

}  // namespace orvane
