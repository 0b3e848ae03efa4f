#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "playback/Errors.h"
#include "playback/FileList.h"
#include "playback/FolderChoice.h"
#include "playback/SongSelection.h"
#include "playback/audio/SoxrResampler.h"
#include "playback/platform/Utf8Path.h"
#include "tests/playback/PlayerRig.h"
#include "tests/playback/SongFiles.h"

namespace orvane {
namespace {

using ::testing::Each;
using ::testing::Eq;
using ::testing::HasSubstr;
using testing::PlayerRig;
using testing::PlayFrames;
using testing::SongSamples;
using ::testing::StartsWith;
using testing::TempFolder;
using testing::WriteSong;

using State = MediaPlayer::State;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EMCIDeviceError& error) {
    return error.what();
  }
  return "(no error)";
}

class MediaPlayerTest : public ::testing::Test {
 protected:
  void LoadSong(const std::string& name) {
    list_.ApplyFilePath(folder_.Utf8());
    const auto& entries = list_.Entries();
    const auto it = std::find(entries.begin(), entries.end(), name);
    ASSERT_NE(it, entries.end()) << name;
    list_.Select(static_cast<std::size_t>(it - entries.begin()));
    SelectSong(list_, rig_.player);
  }

  TempFolder folder_;
  FileSystemFolderReader reader_;
  FileList list_{reader_};
  PlayerRig rig_;
};

TEST_F(MediaPlayerTest, ARunThroughToTheEndIsReplayedFromTheStart) {
  WriteSong(folder_.path() / "song.wav", 1000);
  EXPECT_EQ(rig_.player.CurrentState(), State::kIdle);
  LoadSong("song.wav");
  ASSERT_EQ(rig_.player.CurrentState(), State::kReady);
  EXPECT_EQ(rig_.player.Length(), 1000);

  // Nothing sounds before Play, and the position waits.
  EXPECT_THAT(rig_.output.Pull(100), Each(Eq(0.0f)));
  EXPECT_EQ(rig_.player.Position(), 0);

  rig_.player.Play();
  EXPECT_EQ(rig_.output.Pull(600), SongSamples(0, 600));
  std::vector<float> tail = rig_.output.Pull(600);
  EXPECT_EQ(std::vector<float>(tail.begin(), tail.begin() + 400), SongSamples(600, 400));
  EXPECT_THAT(std::vector<float>(tail.begin() + 400, tail.end()), Each(Eq(0.0f)));
  EXPECT_EQ(rig_.player.Position(), 1000);
  EXPECT_FALSE(rig_.player.Sounding());

  rig_.player.Play();
  EXPECT_EQ(rig_.player.Position(), 0);
  EXPECT_EQ(PlayFrames(rig_, 1000), SongSamples(0, 1000));
}

TEST_F(MediaPlayerTest, StopKeepsThePlaceAndASecondPlayGoesOnFromIt) {
  WriteSong(folder_.path() / "song.wav", 1000);
  LoadSong("song.wav");
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 300), SongSamples(0, 300));

  // A trial of the same kind while the song sounds does not restart it.
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 100), SongSamples(300, 100));

  rig_.player.Stop();
  EXPECT_FALSE(rig_.player.Sounding());
  EXPECT_THAT(rig_.output.Pull(50), Each(Eq(0.0f)));
  EXPECT_EQ(rig_.player.Position(), 400);

  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 600), SongSamples(400, 600));
  EXPECT_EQ(rig_.player.Position(), 1000);
}

TEST_F(MediaPlayerTest, ASongLongerThanTheReadAheadPlaysWholeAndAgain) {
  // Ten seconds: more than the ring holds, so the reader streams and wraps to the start.
  const std::int64_t frames = 10 * 8000 + 123;
  WriteSong(folder_.path() / "long.wav", frames);
  LoadSong("long.wav");

  // A buffer asking for the whole song gets what is read ahead, a bounded part of it, and no
  // more: the device is not kept waiting for the disk, and the silence after it is counted.
  rig_.player.Play();
  const std::vector<float> burst = rig_.output.Pull(static_cast<std::size_t>(frames));
  const std::int64_t ready = rig_.player.Position();
  EXPECT_GT(ready, 0);
  EXPECT_LE(ready, 2 * 8000 + 4096) << "the read-ahead grows with the song";
  EXPECT_EQ(std::vector<float>(burst.begin(), burst.begin() + ready), SongSamples(0, ready));
  EXPECT_THAT(std::vector<float>(burst.begin() + ready, burst.end()), Each(Eq(0.0f)));
  EXPECT_EQ(rig_.output.Counted().starved, 1u);
  // The song goes on after the hole where it left off.
  EXPECT_EQ(PlayFrames(rig_, frames - ready), SongSamples(ready, frames - ready));
  EXPECT_FALSE(rig_.player.Sounding());

  for (int round = 0; round < 2; ++round) {
    rig_.player.Play();
    EXPECT_EQ(PlayFrames(rig_, frames), SongSamples(0, frames)) << "round " << round;
    EXPECT_FALSE(rig_.player.Sounding());
  }
}

TEST_F(MediaPlayerTest, AnotherEntrySilencesTheSongAndLoadsTheNewOne) {
  WriteSong(folder_.path() / "a.wav", 1000);
  WriteSong(folder_.path() / "b.wav", 500, {.channels = 2});
  LoadSong("a.wav");
  rig_.player.Play();
  PlayFrames(rig_, 200);

  LoadSong("b.wav");
  EXPECT_EQ(rig_.output.OpenStreams(), 1u);
  EXPECT_EQ(rig_.output.LastFormat().channels, 2);
  EXPECT_FALSE(rig_.player.Sounding());
  EXPECT_EQ(rig_.player.Position(), 0);
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 500, 2), SongSamples(0, 500, 2));
}

TEST_F(MediaPlayerTest, ANewFolderKeepsTheSongUntilAnEntryIsClicked) {
  WriteSong(folder_.path() / "old.wav", 800);
  LoadSong("old.wav");
  TempFolder other;
  WriteSong(other.path() / "new.wav", 100);

  list_.ApplyFilePath(other.Utf8());
  EXPECT_EQ(list_.FileName(), "");
  EXPECT_EQ(rig_.player.FileName(), folder_.Utf8("old.wav"));
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 800), SongSamples(0, 800));
}

TEST_F(MediaPlayerTest, EveryWavEncodingDecodesToTheSameSamples) {
  struct Case {
    std::string name;
    testing::SongFormat format;
  };
  std::vector<Case> cases;
  for (int subtype : {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32,
                      SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE}) {
    for (auto [channels, rate] : {std::pair{1, 8000}, {2, 44100}, {6, 96000}}) {
      cases.push_back({"song" + std::to_string(cases.size()) + ".wav", {channels, rate, subtype}});
      WriteSong(folder_.path() / cases.back().name, 300, cases.back().format);
    }
  }
  for (const Case& c : cases) {
    LoadSong(c.name);
    ASSERT_EQ(rig_.player.CurrentState(), State::kReady) << c.name;
    EXPECT_EQ(rig_.output.LastFormat().channels, c.format.channels);
    EXPECT_EQ(rig_.output.LastFormat().sample_rate, c.format.sample_rate);
    rig_.player.Play();
    EXPECT_EQ(PlayFrames(rig_, 300, c.format.channels), SongSamples(0, 300, c.format.channels))
        << "subtype " << c.format.subtype << ", " << c.format.channels << " channels at "
        << c.format.sample_rate;
  }
}

TEST_F(MediaPlayerTest, ADeviceAtAnotherRateHearsTheSongsToneAndNothingAboveItsReach) {
  // A 96 kHz song on a 48 kHz device: 10 kHz lies below the device's 24 kHz limit, 30 kHz above
  // it, where it would fold back to 18 kHz.
  const std::int64_t frames = 9600;
  testing::WriteTones(folder_.path() / "song.wav", frames, 96000, {{10000, 0.25}, {30000, 0.25}});
  rig_.output.SetOwnRate(48000);
  LoadSong("song.wav");
  EXPECT_EQ(rig_.player.Length(), frames);
  std::vector<float> rounds[2];
  for (std::vector<float>& played : rounds) {
    rig_.player.Play();
    for (int pulls = 0; pulls < 1000 && rig_.player.Sounding(); ++pulls) {
      const std::vector<float> pulled = rig_.output.Pull(64);
      played.insert(played.end(), pulled.begin(), pulled.end());
    }
    ASSERT_GE(played.size(), 4800u);
    played.resize(4800);
    EXPECT_EQ(rig_.player.Position(), frames);
  }
  // Every round sounds the same, from the song's very start.
  EXPECT_EQ(rounds[0], rounds[1]);

  // 50 ms from the middle: whole periods of both tones, away from the song's edges.
  const std::vector<float> middle(rounds[0].begin() + 1200, rounds[0].begin() + 3600);
  EXPECT_NEAR(20 * std::log10(testing::ToneAmplitude(middle, 10000, 48000) / 0.25), 0, 0.01);
  // The conversion's stop-band suppresses by as many bits as it keeps.
  const double stop_band = std::pow(2.0, -SoxrResampler(1, 96000, 48000).PrecisionBits());
  EXPECT_LT(testing::ToneAmplitude(middle, 18000, 48000), 0.25 * stop_band);
}

TEST_F(MediaPlayerTest, NamesWithSpacesAndForeignLettersPlay) {
  const std::string name = "Gr\xC3\xBCn f\xC3\xA5gel.WAV";
  WriteSong(folder_.path() / PathFromUtf8(name), 200);
  LoadSong(name);
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 200), SongSamples(0, 200));
}

TEST_F(MediaPlayerTest, ASongThatCannotBeOpenedLeavesThePlayerEnabledWithoutIt) {
  WriteSong(folder_.path() / "good.wav", 1000);
  WriteSong(folder_.path() / "whole.wav", 1000);
  folder_.Touch("text.wav", "this is not a sound file at all, only its name says so");
  folder_.Touch("empty.wav");
  const std::vector<char> whole = testing::ReadBytes(folder_.path() / "whole.wav");
  testing::WriteBytes(folder_.path() / "header.wav", {whole.begin(), whole.begin() + 20});
  WriteSong(folder_.path() / "gone.wav", 100);
  WriteSong(folder_.path() / "folder.wav", 100);
  list_.ApplyFilePath(folder_.Utf8());
  std::filesystem::remove(folder_.path() / "gone.wav");
  // Listed as a song, then replaced by a folder of that name.
  std::filesystem::remove(folder_.path() / "folder.wav");
  std::filesystem::create_directory(folder_.path() / "folder.wav");

  const auto open_fails = [&](const std::string& name) {
    LoadSong("good.wav");
    rig_.player.Play();
    const std::string error = ErrorOf([&] { LoadSong(name); });
    EXPECT_TRUE(rig_.player.Enabled());
    EXPECT_EQ(rig_.player.CurrentState(), State::kBroken) << name;
    EXPECT_EQ(rig_.output.OpenStreams(), 0u) << "the old song still sounds after " << name;
    EXPECT_EQ(ErrorOf([&] { rig_.player.Play(); }), "No MCI device open");
    EXPECT_EQ(ErrorOf([&] { rig_.player.Stop(); }), "No MCI device open");
    return error;
  };

  EXPECT_THAT(open_fails("text.wav"), StartsWith("The song file cannot be played: "));
  EXPECT_EQ(open_fails("empty.wav"), "The song file is empty");
  EXPECT_THAT(open_fails("header.wav"), StartsWith("The song file cannot be played: "));
  EXPECT_EQ(open_fails("gone.wav"), "The song file was not found");
  EXPECT_EQ(open_fails("folder.wav"), "The song's name is a folder, not a sound file");
}

TEST_F(MediaPlayerTest, ATruncatedSongPlaysWhatItHolds) {
  WriteSong(folder_.path() / "whole.wav", 1000);
  const std::vector<char> whole = testing::ReadBytes(folder_.path() / "whole.wav");
  // The header claims 1000 frames; half of them are there.
  testing::WriteBytes(folder_.path() / "cut.wav", {whole.begin(), whole.end() - 1000});
  LoadSong("cut.wav");
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 1000), SongSamples(0, 500));
  EXPECT_EQ(rig_.player.Position(), rig_.player.Length());
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 1000), SongSamples(0, 500));
}

TEST_F(MediaPlayerTest, NoSelectionOrNoDeviceGivesTheServicesText) {
  WriteSong(folder_.path() / "song.wav", 100);
  list_.ApplyFilePath(folder_.Utf8());
  EXPECT_EQ(ErrorOf([&] { SelectSong(list_, rig_.player); }), "No song file is selected");
  EXPECT_EQ(rig_.player.CurrentState(), State::kBroken);
  EXPECT_EQ(rig_.player.FileName(), "");

  rig_.output.SetRefusing(true);
  list_.Select(0);
  EXPECT_EQ(ErrorOf([&] { SelectSong(list_, rig_.player); }), "The sound device is not available");
  EXPECT_EQ(rig_.player.CurrentState(), State::kBroken);
}

// A song on a service that grants every request, a seek in mid-song too, so that only the
// player decides when to rewind.
struct GrantingDevice final : SoundDevice {
  std::int64_t position = 0;
  std::vector<std::string> requests;
  std::int64_t Position() const override { return position; }
  std::int64_t Length() const override { return 1000; }
  bool Sounding() const override { return false; }
  int SeekToStart() override {
    requests.push_back("seek");
    position = 0;
    return 0;
  }
  int Play() override {
    requests.push_back("play");
    return 0;
  }
  int Stop() override { return 0; }
};

// Opens a GrantingDevice, or fails with `failure`, a code it knows no text for.
struct GrantingService final : SoundService {
  int failure = 0;
  GrantingDevice* device = nullptr;
  OpenedSong Open(const std::string&) override {
    if (failure != 0) {
      return {failure, nullptr};
    }
    auto opened = std::make_unique<GrantingDevice>();
    device = opened.get();
    return {0, std::move(opened)};
  }
  std::optional<std::string> ErrorText(int) const override { return std::nullopt; }
};

TEST(MediaPlayer, RewindsOnlyASongWhosePositionIsItsLength) {
  GrantingService service;
  MediaPlayer player(service);
  player.Open();
  using Requests = std::vector<std::string>;
  for (const std::int64_t position : {0, 1, 500, 999, 1000}) {
    service.device->position = position;
    service.device->requests.clear();
    player.Play();
    const Requests expected = position == 1000 ? Requests{"seek", "play"} : Requests{"play"};
    EXPECT_EQ(service.device->requests, expected) << "at frame " << position;
  }
}

TEST(MediaPlayer, ACodeWithoutTextIsAnUnknownErrorCode) {
  GrantingService service;
  service.failure = 4242;
  MediaPlayer player(service);
  EXPECT_EQ(ErrorOf([&] { player.Open(); }), "Unknown error code");
  EXPECT_EQ(player.LastResult(), 4242);
  EXPECT_EQ(player.CurrentState(), State::kIdle);
}

TEST(MediaPlayer, TellsItsListenerWhenItIsEnabled) {
  GrantingService service;
  MediaPlayer player(service);
  std::vector<bool> told;
  player.SetEnabledListener([&](bool enabled) { told.push_back(enabled); });
  player.SetEnabled(true);
  player.SetEnabled(true);
  EXPECT_EQ(told, std::vector<bool>{true});
}

}  // namespace
}  // namespace orvane
