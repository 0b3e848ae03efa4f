#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "playback/SoundService.h"

struct sf_private_tag;

namespace orvane {

// A sound file decoded to interleaved float frames, whatever its encoding.
class SoundFile {
 public:
  SoundFile() = default;
  ~SoundFile();
  SoundFile(const SoundFile&) = delete;
  SoundFile& operator=(const SoundFile&) = delete;

  // The result code: 0, a decoder code, or one of SoundResult's.
  int Open(const std::string& path);

  int Channels() const { return channels_; }
  double SampleRate() const { return sample_rate_; }
  std::int64_t Frames() const { return frames_; }  // as the file's header declares

  // Frames actually decoded: fewer than asked at the end of the data or on a read error.
  std::size_t Read(float* out, std::size_t frames);
  bool Rewind();

 private:
  sf_private_tag* file_ = nullptr;
  int channels_ = 0;
  double sample_rate_ = 0;
  std::int64_t frames_ = 0;
};

// The service's own result codes, beside the decoder's (positive, below 1000) and the output
// device's (negative).
namespace sound_result {
inline constexpr int kNoFileName = 1001;
inline constexpr int kFileNotFound = 1002;
inline constexpr int kFileAccessDenied = 1003;
inline constexpr int kNotAFile = 1004;
inline constexpr int kNoSoundData = 1005;
inline constexpr int kReaderNotStarted = 1006;
inline constexpr int kSeekMidSong = 1007;
inline constexpr int kEmptyFile = 1008;
inline constexpr int kNoConversion = 1009;
inline constexpr int kNoAnswer = kNoAnswerResult;
inline constexpr int kTooManyChannels = 1011;
inline constexpr int kNotStarted = kNotStartedResult;
inline constexpr int kSpecialFile = 1013;
inline constexpr int kRateOutsideRange = 1014;
inline constexpr int kDeviceRateChanged = 1015;
}  // namespace sound_result

}  // namespace orvane
