#include "playback/audio/SoundFile.h"

#include <sndfile.h>

#include <filesystem>
#include <system_error>

#include "playback/platform/IoErrorText.h"
#include "playback/platform/OpenSoundFile.h"
#include "playback/platform/Utf8Path.h"

namespace orvane {

SoundFile::~SoundFile() {
  if (file_ != nullptr) {
    sf_close(file_);
  }
}

// The decoder only says "system error"; the file system says which.
static int CheckPath(const std::string& path) {
  if (path.empty()) {
    return sound_result::kNoFileName;
  }
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(PathFromUtf8(path), error);
  if (error && ClassifySystemError(error).failure == IoFailure::kAccessDenied) {
    return sound_result::kFileAccessDenied;
  }
  if (error || !std::filesystem::exists(status)) {
    return sound_result::kFileNotFound;
  }
  if (std::filesystem::is_directory(status)) {
    return sound_result::kNotAFile;
  }
  // A pipe's open would wait for a writer, and with it every later song's.
  if (!std::filesystem::is_regular_file(status)) {
    return sound_result::kSpecialFile;
  }
  return std::filesystem::file_size(PathFromUtf8(path), error) == 0 && !error
             ? sound_result::kEmptyFile
             : 0;
}

int SoundFile::Open(const std::string& path) {
  if (const int checked = CheckPath(path); checked != 0) {
    return checked;
  }
  SF_INFO info{};
  SNDFILE* file = OpenSoundFileForReading(path, &info);
  if (file == nullptr) {
    const int code = sf_error(nullptr);
    if (code == SF_ERR_SYSTEM) {
      return sound_result::kFileAccessDenied;
    }
    return code != 0 ? code : SF_ERR_UNRECOGNISED_FORMAT;
  }
  if (info.channels <= 0 || info.samplerate <= 0) {
    sf_close(file);
    return sound_result::kNoSoundData;
  }
  file_ = file;
  channels_ = info.channels;
  sample_rate_ = info.samplerate;
  frames_ = info.frames;
  return 0;
}

std::size_t SoundFile::Read(float* out, std::size_t frames) {
  const sf_count_t got = sf_readf_float(file_, out, static_cast<sf_count_t>(frames));
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

bool SoundFile::Rewind() {
  return sf_seek(file_, 0, SEEK_SET) == 0;
}

}  // namespace orvane
