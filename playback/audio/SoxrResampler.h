#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct soxr;

namespace orvane {

// Converts interleaved float frames from one whole-number rate to another with a band-limited
// filter (libsoxr at high quality), fed in pieces. A song of n source frames always becomes
// exactly OutputFrames(n) frames, so that round after round the song's start lands in place.
class SoxrResampler {
 public:
  SoxrResampler(int channels, std::int64_t from_rate, std::int64_t to_rate);
  ~SoxrResampler();
  SoxrResampler(const SoxrResampler&) = delete;
  SoxrResampler& operator=(const SoxrResampler&) = delete;

  // False when the library refused the conversion; nothing else may be called then.
  bool Ready() const { return soxr_ != nullptr; }
  // Bits of precision the conversion keeps; its stop-band suppresses by as much.
  double PrecisionBits() const;

  // Frames a song of the given source length becomes.
  std::int64_t OutputFrames(std::int64_t source_frames) const;
  // Source frame that output frame j lies at, rounded down.
  std::int64_t SourceFrameOf(std::int64_t output_frame) const;
  // The most source frames whose output, with all the filter still holds back and Finish after
  // them, fits in `room` output frames.
  std::size_t SourceFramesFitting(std::size_t room) const;

  // Appends the output frames the filter can give so far.
  void Process(const float* source, std::size_t frames, std::vector<float>& out);
  // The source ended: appends the remaining frames and starts over for the next round.
  void Finish(std::vector<float>& out);

 private:
  void Append(const float* source, std::size_t frames, std::vector<float>& out);

  soxr* soxr_ = nullptr;
  std::size_t channels_;
  std::int64_t from_;
  std::int64_t to_;
  std::int64_t emitted_ = 0;   // output frames this round
  std::int64_t received_ = 0;  // source frames this round
  std::vector<float> block_;   // the filter's output before it is appended
};

}  // namespace orvane
