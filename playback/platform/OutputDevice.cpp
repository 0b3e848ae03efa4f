#include "playback/platform/OutputDevice.h"

namespace orvane {

PaDeviceIndex PreferredOutputDevice() {
#if defined(_WIN32)
  const PaHostApiIndex wasapi = Pa_HostApiTypeIdToHostApiIndex(paWASAPI);
  if (wasapi >= 0) {
    const PaHostApiInfo* api = Pa_GetHostApiInfo(wasapi);
    if (api != nullptr && api->defaultOutputDevice != paNoDevice) {
      return api->defaultOutputDevice;
    }
  }
#endif
  return Pa_GetDefaultOutputDevice();
}

}  // namespace orvane
