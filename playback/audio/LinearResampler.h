#pragma once

#include <cstdint>
#include <vector>

namespace orvane {

// Converts interleaved frames from one whole-number rate to another by linear interpolation,
// fed in pieces. Output frame j lies at source frame j × from / to; exact integer arithmetic
// makes the output length of a song fixed in advance (OutputFrames).
class LinearResampler {
 public:
  LinearResampler(int channels, std::int64_t from_rate, std::int64_t to_rate);

  // Frames a song of the given source length becomes.
  std::int64_t OutputFrames(std::int64_t source_frames) const;
  // Source frame that output frame j lies at, rounded down.
  std::int64_t SourceFrameOf(std::int64_t output_frame) const;
  // At most this many output frames come out of a piece of the given length.
  std::size_t MaxOutput(std::size_t source_frames) const;

  // Appends the output frames that the source so far determines.
  void Process(const float* source, std::size_t frames, std::vector<float>& out);
  // The source ended: appends the remaining frames and starts over for the next round.
  void Finish(std::vector<float>& out);

 private:
  float SourceSample(std::int64_t frame, int channel, const float* piece,
                     std::int64_t piece_start) const;

  int channels_;
  std::int64_t from_;
  std::int64_t to_;
  std::int64_t next_output_ = 0;
  std::int64_t received_ = 0;  // source frames fed this round
  std::vector<float> last_;    // the source frame before the current piece
};

}  // namespace orvane
