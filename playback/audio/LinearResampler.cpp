#include "playback/audio/LinearResampler.h"

#include <numeric>

namespace orvane {

LinearResampler::LinearResampler(int channels, std::int64_t from_rate, std::int64_t to_rate)
    : channels_(channels),
      from_(from_rate / std::gcd(from_rate, to_rate)),
      to_(to_rate / std::gcd(from_rate, to_rate)),
      last_(static_cast<std::size_t>(channels), 0.0f) {}

std::int64_t LinearResampler::OutputFrames(std::int64_t source_frames) const {
  return (source_frames * to_ + from_ - 1) / from_;
}

std::int64_t LinearResampler::SourceFrameOf(std::int64_t output_frame) const {
  return output_frame * from_ / to_;
}

std::size_t LinearResampler::MaxOutput(std::size_t source_frames) const {
  return static_cast<std::size_t>(static_cast<std::int64_t>(source_frames) * to_ / from_ + 2);
}

float LinearResampler::SourceSample(std::int64_t frame, int channel, const float* piece,
                                    std::int64_t piece_start) const {
  return frame < piece_start
             ? last_[static_cast<std::size_t>(channel)]
             : piece[static_cast<std::size_t>((frame - piece_start) * channels_ + channel)];
}

void LinearResampler::Process(const float* source, std::size_t frames, std::vector<float>& out) {
  const std::int64_t piece_start = received_;
  const std::int64_t available = received_ + static_cast<std::int64_t>(frames);
  for (;; ++next_output_) {
    const std::int64_t index = SourceFrameOf(next_output_);
    if (index + 1 >= available) {
      break;
    }
    const float fraction = static_cast<float>(next_output_ * from_ % to_) / static_cast<float>(to_);
    for (int c = 0; c < channels_; ++c) {
      const float a = SourceSample(index, c, source, piece_start);
      const float b = SourceSample(index + 1, c, source, piece_start);
      out.push_back(a + (b - a) * fraction);
    }
  }
  if (frames > 0) {
    const float* last = source + (frames - 1) * static_cast<std::size_t>(channels_);
    last_.assign(last, last + channels_);
  }
  received_ = available;
}

void LinearResampler::Finish(std::vector<float>& out) {
  // What lies beyond the last source frame holds its value.
  for (const std::int64_t end = OutputFrames(received_); next_output_ < end; ++next_output_) {
    out.insert(out.end(), last_.begin(), last_.end());
  }
  next_output_ = 0;
  received_ = 0;
}

}  // namespace orvane
