#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane {

// A lock-free ring of interleaved frames between one producer thread and one consumer thread.
// The last `history` frames read stay in it, so that the consumer can take them back.
class FrameRing {
 public:
  FrameRing(std::size_t capacity_frames, int channels, std::size_t history_frames = 0);

  std::size_t CapacityFrames() const { return capacity_frames_; }
  std::size_t WritableFrames() const;  // producer side
  std::size_t ReadableFrames() const;  // consumer side

  // frames must not exceed WritableFrames().
  void Write(const float* samples, std::size_t frames);
  // frames must not exceed ReadableFrames().
  void Read(float* out, std::size_t frames);
  // Makes the last frames read readable again; at most the history, and no more than were read.
  void Unread(std::size_t frames);

 private:
  std::size_t capacity_frames_;
  std::size_t channels_;
  std::size_t history_frames_;
  std::vector<float> samples_;
  alignas(64) std::atomic<std::uint64_t> written_{0};
  alignas(64) std::atomic<std::uint64_t> read_{0};
};

}  // namespace orvane
