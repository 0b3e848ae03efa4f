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

// How long a buffer to ask the host for, so that `held_ahead` seconds of a song can be held in
// it while the device's clock, the frames it takes from the buffer, keeps fine steps.
double HostBufferSeconds(double held_ahead);

// Sets the host's buffers up for that, once the sound library has started.
void ConfigureHostBuffers();

// Whether a stopped stream keeps the frames its host buffer held, to sound them when it starts
// again.
bool StopKeepsHostBuffer();

}  // namespace orvane
