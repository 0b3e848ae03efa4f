#include "playback/platform/OutputDevice.h"

#if defined(_WIN32)
#include <windows.h>
// windows.h first: COM's and the device API's headers build on it.
#include <mmdeviceapi.h>
#include <objbase.h>
#endif

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

#if defined(_WIN32)

namespace {

std::string Utf8FromWide(const wchar_t* wide) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) {
    return {};
  }
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), bytes, nullptr, nullptr);
  utf8.pop_back();  // the terminating zero
  return utf8;
}

// The default render endpoint's ID, in the role PortAudio's WASAPI host takes its default from;
// "none" when there is no default output.
std::string DefaultEndpointId() {
  IMMDeviceEnumerator* enumerator = nullptr;
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IMMDeviceEnumerator),
                              reinterpret_cast<void**>(&enumerator)))) {
    return {};
  }
  std::string identity = "none";
  IMMDevice* device = nullptr;
  if (SUCCEEDED(enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, &device))) {
    LPWSTR id = nullptr;
    if (SUCCEEDED(device->GetId(&id))) {
      identity = Utf8FromWide(id);
      CoTaskMemFree(id);
    }
    device->Release();
  }
  enumerator->Release();
  return identity;
}

}  // namespace

std::string DefaultOutputIdentity() {
  // COM for this call only; a thread that already has it, in whichever model, keeps it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  std::string identity = DefaultEndpointId();
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return identity;
}

#else

std::string DefaultOutputIdentity() {
  return {};
}

#endif

}  // namespace orvane
