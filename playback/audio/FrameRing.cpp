#include "playback/audio/FrameRing.h"

#include <algorithm>
#include <cstring>

namespace orvane {

FrameRing::FrameRing(std::size_t capacity_frames, int channels, std::size_t history_frames)
    : capacity_frames_(capacity_frames),
      channels_(static_cast<std::size_t>(channels)),
      history_frames_(history_frames),
      samples_(capacity_frames * static_cast<std::size_t>(channels)) {}

std::size_t FrameRing::WritableFrames() const {
  const std::uint64_t used =
      written_.load(std::memory_order_relaxed) - read_.load(std::memory_order_acquire);
  // The producer stays clear of the frames read last, which the consumer may take back.
  const std::size_t taken = static_cast<std::size_t>(used) + history_frames_;
  return taken < capacity_frames_ ? capacity_frames_ - taken : 0;
}

std::size_t FrameRing::ReadableFrames() const {
  return static_cast<std::size_t>(written_.load(std::memory_order_acquire) -
                                  read_.load(std::memory_order_relaxed));
}

void FrameRing::Write(const float* samples, std::size_t frames) {
  const std::uint64_t written = written_.load(std::memory_order_relaxed);
  const std::size_t start = static_cast<std::size_t>(written % capacity_frames_);
  const std::size_t first = std::min(frames, capacity_frames_ - start);
  std::memcpy(&samples_[start * channels_], samples, first * channels_ * sizeof(float));
  std::memcpy(samples_.data(), samples + first * channels_,
              (frames - first) * channels_ * sizeof(float));
  written_.store(written + frames, std::memory_order_release);
}

void FrameRing::Read(float* out, std::size_t frames) {
  const std::uint64_t read = read_.load(std::memory_order_relaxed);
  const std::size_t start = static_cast<std::size_t>(read % capacity_frames_);
  const std::size_t first = std::min(frames, capacity_frames_ - start);
  std::memcpy(out, &samples_[start * channels_], first * channels_ * sizeof(float));
  std::memcpy(out + first * channels_, samples_.data(),
              (frames - first) * channels_ * sizeof(float));
  read_.store(read + frames, std::memory_order_release);
}

void FrameRing::Unread(std::size_t frames) {
  read_.store(read_.load(std::memory_order_relaxed) - frames, std::memory_order_release);
}

}  // namespace orvane
