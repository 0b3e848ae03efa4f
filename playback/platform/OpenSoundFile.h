#pragma once

#include <sndfile.h>

#include <string>

namespace orvane {

// Opens a sound file named in UTF-8 for reading; null on failure, as sf_open.
SNDFILE* OpenSoundFileForReading(const std::string& path, SF_INFO* info);

}  // namespace orvane
