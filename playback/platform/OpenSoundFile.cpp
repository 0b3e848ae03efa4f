#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#define ENABLE_SNDFILE_WINDOWS_PROTOTYPES 1
#endif

#include "playback/platform/OpenSoundFile.h"

#include "playback/platform/Utf8Path.h"

namespace orvane {

SNDFILE* OpenSoundFileForReading(const std::string& path, SF_INFO* info) {
#if defined(_WIN32)
  // The narrow call would read the name in the ANSI code page.
  return sf_wchar_open(PathFromUtf8(path).c_str(), SFM_READ, info);
#else
  return sf_open(path.c_str(), SFM_READ, info);
#endif
}

}  // namespace orvane
