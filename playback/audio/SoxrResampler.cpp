#include "playback/audio/SoxrResampler.h"

#include <soxr.h>

#include <algorithm>
#include <numeric>

namespace orvane {

namespace {
constexpr std::size_t kBlockFrames = 1024;
}  // namespace

SoxrResampler::SoxrResampler(int channels, std::int64_t from_rate, std::int64_t to_rate)
    : channels_(static_cast<std::size_t>(channels)),
      from_(from_rate / std::gcd(from_rate, to_rate)),
      to_(to_rate / std::gcd(from_rate, to_rate)),
      block_(kBlockFrames * channels_) {
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  soxr_error_t error = nullptr;
  // Nothing is fed here: the filter is designed at the first piece, on the thread that reads.
  soxr_ = soxr_create(static_cast<double>(from_rate), static_cast<double>(to_rate),
                      static_cast<unsigned>(channels), &error, &io, &quality, nullptr);
  if (error != nullptr) {
    soxr_delete(soxr_);
    soxr_ = nullptr;
  }
}

SoxrResampler::~SoxrResampler() {
  soxr_delete(soxr_);
}

double SoxrResampler::PrecisionBits() const {
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  return quality.precision;
}

std::int64_t SoxrResampler::OutputFrames(std::int64_t source_frames) const {
  return (source_frames * to_ + from_ - 1) / from_;
}

std::int64_t SoxrResampler::SourceFrameOf(std::int64_t output_frame) const {
  return output_frame * from_ / to_;
}

std::size_t SoxrResampler::SourceFramesFitting(std::size_t room) const {
  // Append never lets the output pass OutputFrames(received), so n more source frames give at
  // most OutputFrames(received + n) - emitted, Finish included.
  const std::int64_t reachable = (static_cast<std::int64_t>(room) + emitted_) * from_ / to_;
  return static_cast<std::size_t>(std::max<std::int64_t>(reachable - received_, 0));
}

void SoxrResampler::Append(const float* source, std::size_t frames, std::vector<float>& out) {
  // Never more than the song's fixed length, whatever the filter's rounding.
  const std::int64_t room = OutputFrames(received_) - emitted_;
  const auto kept = static_cast<std::size_t>(
      std::clamp<std::int64_t>(room, 0, static_cast<std::int64_t>(frames)));
  out.insert(out.end(), source, source + kept * channels_);
  emitted_ += static_cast<std::int64_t>(kept);
}

void SoxrResampler::Process(const float* source, std::size_t frames, std::vector<float>& out) {
  received_ += static_cast<std::int64_t>(frames);
  while (frames > 0) {
    std::size_t used = 0;
    std::size_t made = 0;
    if (soxr_process(soxr_, source, frames, &used, block_.data(), kBlockFrames, &made) != nullptr ||
        (used == 0 && made == 0)) {
      break;
    }
    Append(block_.data(), made, out);
    source += used * channels_;
    frames -= used;
  }
}

void SoxrResampler::Finish(std::vector<float>& out) {
  for (;;) {
    std::size_t made = 0;
    soxr_process(soxr_, nullptr, 0, nullptr, block_.data(), kBlockFrames, &made);
    if (made == 0) {
      break;
    }
    Append(block_.data(), made, out);
  }
  // Should the filter give fewer frames than the fixed length, silence makes up the rest.
  const std::int64_t missing = OutputFrames(received_) - emitted_;
  out.insert(out.end(), static_cast<std::size_t>(std::max<std::int64_t>(missing, 0)) * channels_,
             0.0f);
  soxr_clear(soxr_);
  emitted_ = 0;
  received_ = 0;
}

}  // namespace orvane
