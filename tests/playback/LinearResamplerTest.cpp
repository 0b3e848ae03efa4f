#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "playback/audio/LinearResampler.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;

std::vector<float> Ramp(int frames, int channels) {
  std::vector<float> samples;
  for (int f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      samples.push_back(static_cast<float>(f + 100 * c));
    }
  }
  return samples;
}

std::vector<float> Convert(LinearResampler& resampler, const std::vector<float>& source,
                           int channels, std::size_t piece) {
  std::vector<float> out;
  const std::size_t frames = source.size() / static_cast<std::size_t>(channels);
  for (std::size_t start = 0; start < frames; start += piece) {
    const std::size_t count = std::min(piece, frames - start);
    resampler.Process(source.data() + start * static_cast<std::size_t>(channels), count, out);
  }
  resampler.Finish(out);
  return out;
}

TEST(LinearResampler, DoublingTheRateInterpolatesAndHoldsTheLastFrame) {
  LinearResampler resampler(1, 8000, 16000);
  EXPECT_EQ(resampler.OutputFrames(4), 8);
  EXPECT_THAT(Convert(resampler, Ramp(4, 1), 1, 4), ElementsAre(0, 0.5, 1, 1.5, 2, 2.5, 3, 3));
  // A second round starts afresh.
  EXPECT_THAT(Convert(resampler, Ramp(2, 1), 1, 1), ElementsAre(0, 0.5, 1, 1));
}

TEST(LinearResampler, PiecesOfAnySizeGiveTheSameFramesInTheFixedCount) {
  const std::vector<float> source = Ramp(1000, 2);
  for (auto [from, to] : {std::pair{48000, 44100}, {44100, 48000}, {8000, 44100}}) {
    LinearResampler whole(2, from, to);
    const std::vector<float> expected = Convert(whole, source, 2, 1000);
    EXPECT_EQ(static_cast<std::int64_t>(expected.size()), 2 * whole.OutputFrames(1000));
    for (std::size_t piece : {1u, 7u, 333u}) {
      LinearResampler pieces(2, from, to);
      EXPECT_EQ(Convert(pieces, source, 2, piece), expected) << from << " to " << to;
    }
    // Output frame j of channel 1 lies at source frame j × from / to.
    const std::size_t j = 501;
    EXPECT_NEAR(expected[2 * j + 1], 100 + static_cast<double>(j) * from / to, 1e-3);
  }
}

}  // namespace
}  // namespace orvane
