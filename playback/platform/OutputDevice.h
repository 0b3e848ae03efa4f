#pragma once

#include <portaudio.h>

namespace orvane {

// The sound device songs play on: the system's default output, reached on Windows through
// WASAPI where PortAudio has it, whose shared mode starts a sound far sooner than MME does.
// paNoDevice when there is none.
PaDeviceIndex PreferredOutputDevice();

}  // namespace orvane
