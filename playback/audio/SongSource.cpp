#include "playback/audio/SongSource.h"

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {
constexpr std::size_t kChunkFrames = 4096;
constexpr double kReadAheadSeconds = 1.0;
}  // namespace

SongSource::SongSource(std::unique_ptr<SoundFile> file)
    : file_(std::move(file)),
      channels_(static_cast<std::size_t>(file_->Channels())),
      chunk_(kChunkFrames * channels_),
      source_length_(std::max<std::int64_t>(file_->Frames(), 0)),
      length_(source_length_.load()) {}

bool SongSource::PrepareFor(double device_rate, std::size_t history) {
  const auto from = static_cast<std::int64_t>(std::llround(file_->SampleRate()));
  const auto to = static_cast<std::int64_t>(std::llround(device_rate));
  if (to > 0 && to != from) {
    resampler_ = std::make_unique<SoxrResampler>(file_->Channels(), from, to);
    if (!resampler_->Ready()) {
      return false;
    }
    length_.store(resampler_->OutputFrames(source_length_.load()));
  }
  const auto read_ahead = std::max(
      4 * kChunkFrames, static_cast<std::size_t>(std::max(device_rate, 0.0) * kReadAheadSeconds));
  ring_.emplace(read_ahead + history, file_->Channels(), history);
  return true;
}

std::int64_t SongSource::DeviceFrames(std::int64_t source_frames) const {
  return resampler_ ? resampler_->OutputFrames(source_frames) : source_frames;
}

std::int64_t SongSource::SourceFrameOf(std::int64_t device_frame) const {
  if (!resampler_) {
    return device_frame;
  }
  // The end reads as the song's length.
  if (device_frame >= Length()) {
    return SourceLength();
  }
  return std::min(resampler_->SourceFrameOf(device_frame), SourceLength());
}

bool SongSource::FillOnce() {
  const std::int64_t length = source_length_.load(std::memory_order_relaxed);
  if (length == 0) {
    return false;
  }
  const std::size_t room = ring_->WritableFrames();
  std::size_t wanted = static_cast<std::size_t>(
      std::min<std::int64_t>(static_cast<std::int64_t>(kChunkFrames), length - file_position_));
  // Converted, a piece must fit whatever the filter still holds back.
  wanted = std::min(wanted, resampler_ ? resampler_->SourceFramesFitting(room) : room);
  if (wanted == 0) {
    return false;
  }
  const std::size_t got = file_->Read(chunk_.data(), wanted);
  file_position_ += static_cast<std::int64_t>(got);
  const bool ended = got < wanted || file_position_ >= length;
  if (resampler_) {
    converted_.clear();
    resampler_->Process(chunk_.data(), got, converted_);
    if (ended) {
      resampler_->Finish(converted_);
    }
    ring_->Write(converted_.data(), converted_.size() / channels_);
  } else {
    ring_->Write(chunk_.data(), got);
  }
  if (ended) {
    // The data ended here: that is the song's length, published before any frame of the next
    // round enters the ring.
    if (file_position_ < length) {
      source_length_.store(file_position_, std::memory_order_release);
      length_.store(DeviceFrames(file_position_), std::memory_order_release);
    }
    if (file_position_ == 0 || !file_->Rewind()) {
      return false;
    }
    file_position_ = 0;
  }
  return true;
}

}  // namespace orvane
