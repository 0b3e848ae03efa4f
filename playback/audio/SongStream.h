#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "playback/SoundService.h"
#include "playback/audio/AudioOutput.h"
#include "playback/audio/FrameRing.h"
#include "playback/audio/SoundFile.h"
#include "playback/audio/SoxrResampler.h"

namespace orvane {

// One open song streamed from disk: a reader thread decodes into a bounded ring, the output
// stream's callback takes frames from it. Memory does not grow with the song's length.
//
// The ring always holds the frames that follow the play position, wrapping from the song's end
// to its start, so neither a rewind from the end nor a resume after a stop touches the disk.
// When the device runs at another rate the reader converts, and the ring holds device frames.
class SongStream final : public SoundDevice, private RenderSource {
 public:
  static OpenedSong Open(const std::string& path, AudioOutput& output);
  ~SongStream() override;

  std::int64_t Position() const override;
  std::int64_t Length() const override { return source_length_.load(std::memory_order_acquire); }
  bool Sounding() const override;
  int SeekToStart() override;
  int Play() override;
  int Stop() override;

  double OutputLatencySeconds() const { return output_->OutputLatencySeconds(); }

 private:
  explicit SongStream(std::unique_ptr<SoundFile> file);
  // Sizes the ring and the conversion for the rate the device runs at; false when the
  // conversion cannot be made.
  bool PrepareFor(double device_rate);

  std::size_t Render(float* out, std::size_t frames) noexcept override;
  // Decodes one chunk into the ring if it has room; false when there was nothing to do.
  bool FillOnce();
  void ReadAhead();
  void WaitUntilIdle() const;
  std::int64_t DeviceFrames(std::int64_t source_frames) const;

  static constexpr std::uint64_t kSoundingBit = std::uint64_t{1} << 63;

  std::unique_ptr<SoundFile> file_;
  std::unique_ptr<OutputStream> output_;
  std::unique_ptr<SoxrResampler> resampler_;  // only when the device runs at another rate
  std::size_t channels_;
  std::optional<FrameRing> ring_;  // touched by the callback only while sounding
  std::vector<float> chunk_;
  std::vector<float> converted_;
  std::int64_t file_position_ = 0;  // reader thread only, after the open
  // The header's length until the reader finds the data ending sooner; in the file's frames
  // and in the device's.
  std::atomic<std::int64_t> source_length_;
  std::atomic<std::int64_t> length_;
  // The play position in device frames, with kSoundingBit while sounding; changed by
  // compare-and-swap only.
  std::atomic<std::uint64_t> play_state_{0};
  std::atomic<bool> rendering_{false};

  std::mutex reader_mutex_;
  std::condition_variable reader_wake_;
  std::condition_variable frames_arrived_;
  bool quit_ = false;
  std::thread reader_;
};

}  // namespace orvane
