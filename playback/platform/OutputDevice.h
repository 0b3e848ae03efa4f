#pragma once

#include <portaudio.h>

#include <string>

namespace orvane {

// The sound device songs play on: the system's default output, reached on Windows through
// WASAPI where PortAudio has it, whose shared mode starts a sound far sooner than MME does.
// paNoDevice when there is none.
PaDeviceIndex PreferredOutputDevice();

// What names the system's default output device, so that a change of it can be seen: WASAPI's
// endpoint ID on Windows. Empty where the default is followed by the sound server itself, as
// PulseAudio follows it behind ALSA's default device.
std::string DefaultOutputIdentity();

}  // namespace orvane
