#include "playback/audio/StreamingSoundService.h"

#include <sndfile.h>

#include <cstring>

#include "playback/audio/SongStream.h"
#include "playback/audio/SoundFile.h"

namespace orvane {

OpenedSong StreamingSoundService::Open(const std::string& path) {
  return SongStream::Open(path, output_);
}

static std::optional<std::string> OwnText(int result) {
  switch (result) {
    case 0:
      return "No error";
    case sound_result::kNoFileName:
      return "No song file is selected";
    case sound_result::kFileNotFound:
      return "The song file was not found";
    case sound_result::kFileAccessDenied:
      return "The song file cannot be read: access denied";
    case sound_result::kNotAFile:
      return "The song's name is a folder, not a sound file";
    case sound_result::kNoSoundData:
      return "The song file holds no sound";
    case sound_result::kReaderNotStarted:
      return "The song cannot be read ahead: no thread could be started";
    case sound_result::kEmptyFile:
      return "The song file is empty";
    case sound_result::kNoConversion:
      return "The song's sample rate cannot be converted to the sound device's";
    case sound_result::kSeekMidSong:
      return "A song can only be rewound from its end";
    default:
      return std::nullopt;
  }
}

// The decoder's own text, which it returns even for numbers it does not know.
static std::optional<std::string> DecoderText(int result) {
  const char* text = sf_error_number(result);
  if (text == nullptr || std::strncmp(text, "No error defined", 16) == 0) {
    return std::nullopt;
  }
  return "The song file cannot be played: " + std::string(text);
}

std::optional<std::string> StreamingSoundService::ErrorText(int result) const {
  if (result < 0) {
    return output_.ErrorText(result);
  }
  if (result >= 1000) {
    return OwnText(result);
  }
  return result == 0 ? OwnText(0) : DecoderText(result);
}

}  // namespace orvane
