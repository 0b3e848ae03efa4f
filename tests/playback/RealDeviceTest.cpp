#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "playback/Errors.h"
#include "playback/MediaPlayer.h"
#include "playback/audio/PortAudioOutput.h"
#include "playback/audio/StreamingSoundService.h"
#include "playback/platform/Utf8Path.h"
#include "tests/playback/PlayerRig.h"
#include "tests/playback/SongFiles.h"

namespace orvane {
namespace {

using testing::Eventually;
using testing::TempFolder;
using testing::WriteSong;

// The device's start-up (finding the devices) may take longer than a click waits.
constexpr std::chrono::seconds kStartUp{60};

TEST(RealDevice, TwoPlayersSoundTheirSongsToTheEndAndAgainWithoutANoise) {
  // The sound libraries' probing of devices and servers is no fault to tell anyone about.
  ::testing::internal::CaptureStderr();
  TempFolder folder;
  WriteSong(folder.path() / "bad.wav", 4410, {2, 44100, SF_FORMAT_PCM_16});
  WriteSong(folder.path() / "neutral.wav", 2205, {1, 22050, SF_FORMAT_FLOAT});
  PortAudioOutput output;
  StreamingSoundService service(output);
  ASSERT_TRUE(service.Settle(kStartUp));
  MediaPlayer bad(service);
  MediaPlayer neutral(service);
  bad.SetFileName(folder.Utf8("bad.wav"));
  neutral.SetFileName(folder.Utf8("neutral.wav"));
  try {
    bad.Open();
    neutral.Open();
  } catch (const EMCIDeviceError& error) {
    ::testing::internal::GetCapturedStderr();
    GTEST_SKIP() << "no default output device (start a sound server first): " << error.what();
  }

  for (int round = 0; round < 2; ++round) {
    bad.Play();
    neutral.Play();
    EXPECT_TRUE(Eventually([&] { return bad.Position() > 0 && neutral.Position() > 0; }))
        << "the device took no frames";
    // The device's clock moves in small enough steps that a song that plays is never taken for
    // one the device stopped playing, and it shows the songs heard.
    bool stalled = false;
    EXPECT_TRUE(Eventually([&] {
      stalled = stalled || bad.Health().stream == "stalled" || neutral.Health().stream == "stalled";
      return !bad.Sounding() && !neutral.Sounding();
    })) << "the songs never ended";
    EXPECT_FALSE(stalled);
    EXPECT_EQ(bad.LostSong(), "");
    EXPECT_EQ(neutral.LostSong(), "");
    EXPECT_EQ(bad.Position(), 4410);
    EXPECT_EQ(neutral.Position(), 2205);
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(RealDevice, StopSilencesAtOnceAndKeepsThePlace) {
  TempFolder folder;
  WriteSong(folder.path() / "long.wav", 10 * 8000, {1, 8000, SF_FORMAT_PCM_16});
  PortAudioOutput output;
  StreamingSoundService service(output);
  ASSERT_TRUE(service.Settle(kStartUp));
  MediaPlayer player(service);
  player.SetFileName(folder.Utf8("long.wav"));
  try {
    player.Open();
  } catch (const EMCIDeviceError& error) {
    GTEST_SKIP() << "no default output device (start a sound server first): " << error.what();
  }
  player.Play();
  ASSERT_TRUE(Eventually([&] { return player.Position() > 0; }));
  player.Stop();
  const std::int64_t stopped_at = player.Position();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(player.Position(), stopped_at);
  EXPECT_FALSE(player.Sounding());
  player.Play();
  EXPECT_TRUE(Eventually([&] { return player.Position() > stopped_at; }));
}

// A stop drops what the stream holds, the silence written after a song among it, so that the next
// run's first frame is the first the device takes: the stream has all of its room again.
TEST(RealDevice, AStoppedStreamHoldsNothingOfItsLastRun) {
  PortAudioOutput output;
  StreamCounters counters;
  OpenedStream opened = output.OpenStream({1, 8000}, counters);
  if (opened.stream == nullptr) {
    GTEST_SKIP() << "no default output device (start a sound server first)";
  }
  OutputStream& stream = *opened.stream;
  ASSERT_EQ(stream.Start(), 0);
  const std::vector<float> silence(static_cast<std::size_t>(stream.CapacityFrames()), 0.0f);
  std::int64_t written = 0;
  while (written < stream.CapacityFrames()) {
    const std::int64_t room =
        std::min({stream.WritableFrames(), stream.CapacityFrames() - written, std::int64_t{4096}});
    if (room <= 0) {
      break;
    }
    ASSERT_EQ(stream.Write(silence.data(), static_cast<std::size_t>(room)), 0);
    written += room;
  }
  ASSERT_GT(written, stream.CapacityFrames() / 2);
  ASSERT_EQ(stream.Stop(), 0);
  ASSERT_EQ(stream.Start(), 0);
  EXPECT_EQ(stream.WritableFrames(), stream.CapacityFrames());
  stream.Stop();
}

}  // namespace
}  // namespace orvane
