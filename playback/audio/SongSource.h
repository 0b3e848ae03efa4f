#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "playback/audio/FrameRing.h"
#include "playback/audio/SoundFile.h"
#include "playback/audio/SoxrResampler.h"

namespace orvane {

// A song decoded from disk ahead of its play position into a bounded ring of device frames, so
// memory does not grow with the song's length. The ring always holds the frames that follow the
// play position, wrapping from the song's end to its start, so neither a rewind from the end nor
// a resume after a stop touches the disk. When the device runs at another rate it converts.
// One thread at a time decodes and reads; the lengths may be read from any thread.
class SongSource {
 public:
  explicit SongSource(std::unique_ptr<SoundFile> file);

  // Sizes the ring and the conversion for the device's rate; the last `history` frames read can
  // be taken back. False when the conversion cannot be made.
  bool PrepareFor(double device_rate, std::size_t history);

  // Decodes one chunk into the ring if it has room; false when there was nothing to do.
  bool FillOnce();
  std::size_t Readable() const { return ring_->ReadableFrames(); }
  void Read(float* out, std::size_t frames) { ring_->Read(out, frames); }
  void Unread(std::size_t frames) { ring_->Unread(frames); }

  int Channels() const { return file_->Channels(); }
  double SourceRate() const { return file_->SampleRate(); }
  // The song's length in the file's frames and in the device's: the header's until the data is
  // found to end sooner.
  std::int64_t SourceLength() const { return source_length_.load(std::memory_order_acquire); }
  std::int64_t Length() const { return length_.load(std::memory_order_acquire); }
  // The file's frame that a device frame lies at.
  std::int64_t SourceFrameOf(std::int64_t device_frame) const;

 private:
  std::int64_t DeviceFrames(std::int64_t source_frames) const;

  std::unique_ptr<SoundFile> file_;
  std::unique_ptr<SoxrResampler> resampler_;  // only when the device runs at another rate
  std::size_t channels_;
  std::optional<FrameRing> ring_;
  std::vector<float> chunk_;
  std::vector<float> converted_;
  std::int64_t file_position_ = 0;
  std::atomic<std::int64_t> source_length_;
  std::atomic<std::int64_t> length_;
};

}  // namespace orvane
