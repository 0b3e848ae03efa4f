#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <thread>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "playback/Errors.h"
#include "playback/FileList.h"
#include "playback/FolderChoice.h"
#include "playback/SongSelection.h"
#include "playback/audio/SongClock.h"
#include "playback/audio/SoxrResampler.h"
#include "playback/audio/VirtualOutput.h"
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
  ASSERT_TRUE(rig_.output.AwaitHolding(600));
  EXPECT_EQ(rig_.output.Pull(600), SongSamples(0, 600));
  ASSERT_TRUE(rig_.output.AwaitHolding(600));
  std::vector<float> tail = rig_.output.Pull(600);
  EXPECT_EQ(std::vector<float>(tail.begin(), tail.begin() + 400), SongSamples(600, 400));
  EXPECT_THAT(std::vector<float>(tail.begin() + 400, tail.end()), Each(Eq(0.0f)));
  EXPECT_EQ(rig_.player.Position(), 1000);
  EXPECT_FALSE(rig_.player.Sounding());

  rig_.player.Play();
  EXPECT_EQ(rig_.player.Position(), 0);
  EXPECT_EQ(PlayFrames(rig_, 1000), SongSamples(0, 1000));
  // No call of the device waited on this thread, the window's in the program.
  EXPECT_FALSE(rig_.output.CalledFrom(std::this_thread::get_id()));
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

  // A buffer asking for the whole song gets what the device holds, a bounded part of it, and no
  // more: the device is not kept waiting for the disk, and the silence after it is counted.
  rig_.player.Play();
  ASSERT_TRUE(rig_.output.AwaitHolding(static_cast<std::size_t>(frames)));
  const std::vector<float> burst = rig_.output.Pull(static_cast<std::size_t>(frames));
  const std::int64_t ready = rig_.player.Position();
  EXPECT_GT(ready, 0);
  EXPECT_LE(ready, 2 * 8000 + 4096) << "the read-ahead grows with the song";
  EXPECT_EQ(std::vector<float>(burst.begin(), burst.begin() + ready), SongSamples(0, ready));
  EXPECT_THAT(std::vector<float>(burst.begin() + ready, burst.end()), Each(Eq(0.0f)));
  EXPECT_EQ(rig_.player.Health().underflows, 1u);
  EXPECT_EQ(rig_.player.Health().frames_owed, static_cast<std::uint64_t>(frames - ready));
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
    const std::size_t starts = rig_.output.Starts();
    rig_.player.Play();
    // The silence the device still holds after the first round is not this round's.
    ASSERT_TRUE(testing::Eventually([&] { return rig_.output.Starts() > starts; }));
    for (int pulls = 0; pulls < 1000 && rig_.player.Sounding(); ++pulls) {
      ASSERT_TRUE(rig_.output.AwaitHolding(64));
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
  WriteSong(folder_.path() / "pipe.wav", 100);
  const std::vector<int> unconvertible = {1, 2, 10, 30, 500, 999, 768001};
  for (const int rate : unconvertible) {
    WriteSong(folder_.path() / ("at " + std::to_string(rate) + ".wav"), 3, {1, rate});
  }
  WriteSong(folder_.path() / "nine channels.wav", 100, {.channels = 9});
  list_.ApplyFilePath(folder_.Utf8());
  std::filesystem::remove(folder_.path() / "gone.wav");
  // Listed as a song, then replaced by a folder of that name, or by a pipe, whose open would
  // wait for a writer.
  std::filesystem::remove(folder_.path() / "folder.wav");
  std::filesystem::create_directory(folder_.path() / "folder.wav");
#if !defined(_WIN32)
  std::filesystem::remove(folder_.path() / "pipe.wav");
  ASSERT_EQ(mkfifo((folder_.path() / "pipe.wav").c_str(), 0600), 0);
#endif

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
#if !defined(_WIN32)
  EXPECT_EQ(open_fails("pipe.wav"),
            "The song's name is a pipe or a device, which is not a sound file");
#endif
  // Refused before any conversion is set up: one for a rate of a few hertz took a minute and
  // gigabytes to build, and would not have answered in time.
  for (const int rate : unconvertible) {
    const std::string grouped = rate > 1000 ? "768,001" : std::to_string(rate);
    EXPECT_EQ(open_fails("at " + std::to_string(rate) + ".wav"),
              "The song's sample rate (" + grouped +
                  " Hz) is outside what Orvane plays (1,000 to 768,000 Hz)");
  }
  rig_.output.SetMaxChannels(8);
  EXPECT_EQ(open_fails("nine channels.wav"),
            "The song has more channels than the sound device can play");
  EXPECT_FALSE(rig_.output.CalledFrom(std::this_thread::get_id()));
}

TEST_F(MediaPlayerTest, TheLowestAndHighestRatesThatConvertPlayWhole) {
  rig_.output.SetOwnRate(48000);
  for (const int rate : {1000, 768000}) {
    const std::string name = std::to_string(rate) + ".wav";
    WriteSong(folder_.path() / name, rate / 10, {1, rate});
  }
  for (const int rate : {1000, 768000}) {
    LoadSong(std::to_string(rate) + ".wav");
    EXPECT_EQ(rig_.player.Length(), rate / 10);
    rig_.player.Play();
    std::size_t pulled = 0;
    while (rig_.player.Sounding()) {
      ASSERT_TRUE(rig_.output.AwaitHolding(64));
      pulled += rig_.output.Pull(64).size();
    }
    EXPECT_EQ(rig_.player.Position(), rate / 10);
    // A tenth of a second at the device's rate, to the last pull.
    EXPECT_GE(pulled, 4800u) << rate << " Hz";
    EXPECT_LT(pulled, 4800u + 64) << rate << " Hz";
  }
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

// The device's own clock, the frames it takes, tells whether a play was heard: a song written
// ahead but never taken is not, nor is one whose device stands still while it should sound, and
// the player says how long the device stood still, shows it in the stream's state and counts
// the frames it did not take. Once the device takes frames again, plays are heard again.
TEST_F(MediaPlayerTest, APlayIsHeardOnlyWhenTheDevicesClockShowsItsFramesTaken) {
  WriteSong(folder_.path() / "song.wav", 10 * 8000);
  LoadSong("song.wav");
  using std::chrono::milliseconds;
  const auto stall_text = [](int seconds) {
    return "The sound device stopped playing for " + std::to_string(seconds) +
           " s; trials were not logged meanwhile";
  };

  // Written ahead, not yet taken: not heard, whatever the stream holds.
  rig_.player.Play();
  ASSERT_TRUE(rig_.output.AwaitHolding(800));
  EXPECT_EQ(rig_.player.LostSong(),
            "The sound device had not started the song by the trial's decision");
  EXPECT_EQ(rig_.player.Health().stream, "starting");
  rig_.output.Pull(800);
  EXPECT_EQ(rig_.player.LostSong(), "");
  EXPECT_EQ(rig_.player.Health().stream, "playing");

  // The device stands still in mid-song: the next trial's play, which joins the sounding song, is
  // lost as soon as the stall is longer than the device may stand still.
  rig_.clock.Advance(SongClock::kStallLimit - milliseconds(1));
  EXPECT_EQ(rig_.player.Health().stream, "playing");
  rig_.player.Play();
  EXPECT_EQ(rig_.player.LostSong(),
            "The sound device had not started the song by the trial's decision");
  rig_.clock.Advance(milliseconds(1));
  EXPECT_EQ(rig_.player.LostSong(), stall_text(1));
  EXPECT_EQ(rig_.player.Health().stream, "stalled");
  EXPECT_EQ(rig_.player.Health().error, stall_text(1));
  rig_.clock.Advance(milliseconds(59500));
  EXPECT_EQ(rig_.player.LostSong(), stall_text(60));
  EXPECT_EQ(rig_.player.Health().frames_owed, 60u * 8000u);

  // The device takes frames again: the stall ends there, its length and the frames owed stay as
  // they were, the song goes on where it stood, and the next play is heard.
  EXPECT_EQ(PlayFrames(rig_, 100), SongSamples(800, 100));
  EXPECT_EQ(rig_.player.Health().stream, "playing");
  EXPECT_EQ(rig_.player.LostSong(), stall_text(60));
  EXPECT_EQ(rig_.player.Health().frames_owed, 60u * 8000u);
  const auto taken = [&] {
    ASSERT_TRUE(rig_.output.AwaitHolding(100));
    rig_.output.Pull(100);
  };
  rig_.player.Play();
  taken();
  EXPECT_EQ(rig_.player.LostSong(), "");

  // A song started while the device stands still is lost too; a start may take longer.
  rig_.player.Stop();
  rig_.player.Play();
  ASSERT_TRUE(rig_.output.AwaitHolding(800));
  rig_.clock.Advance(SongClock::kStartLimit - milliseconds(1));
  EXPECT_EQ(rig_.player.Health().stream, "starting");
  rig_.clock.Advance(milliseconds(1));
  EXPECT_EQ(rig_.player.LostSong(), stall_text(3));
  EXPECT_EQ(rig_.player.Health().stream, "stalled");
  taken();
  rig_.player.Stop();
  rig_.player.Play();
  taken();
  EXPECT_EQ(rig_.player.LostSong(), "");
}

// The sound server stalls: a click on a list, a Play and a Stop return while the device still
// holds their requests, and the player keeps its song, which plays again once the server answers.
// A song opened after the click gave up on it is closed again.
TEST_F(MediaPlayerTest, AStalledDeviceHoldsNoCallerAndThePlayerKeepsItsSong) {
  WriteSong(folder_.path() / "song.wav", 8000);
  const std::string no_answer = "The sound device did not answer in time";

  rig_.output.Hold(VirtualOutput::Call::kOpen);
  EXPECT_EQ(ErrorOf([&] { LoadSong("song.wav"); }), no_answer);
  EXPECT_TRUE(rig_.output.AwaitHeld(VirtualOutput::Call::kOpen)) << "the open was not held";
  EXPECT_EQ(rig_.player.CurrentState(), State::kBroken);
  rig_.output.Release(VirtualOutput::Call::kOpen);
  EXPECT_TRUE(testing::Eventually([&] { return rig_.output.Opens() == 1; }));
  EXPECT_TRUE(testing::Eventually([&] { return rig_.output.OpenStreams() == 0; }))
      << "the song opened after the player gave up was not closed";

  // A song's start held as a stalled server holds it: Play never waits nor fails, the song is
  // lost once the start has waited longer than a start may, and kept.
  LoadSong("song.wav");
  rig_.output.Hold(VirtualOutput::Call::kStart);
  rig_.player.Play();
  ASSERT_TRUE(rig_.output.AwaitHeld(VirtualOutput::Call::kStart));
  rig_.clock.Advance(std::chrono::seconds(12));
  EXPECT_EQ(rig_.player.LostSong(),
            "The sound device stopped playing for 12 s; trials were not logged meanwhile");
  EXPECT_EQ(ErrorOf([&] { rig_.player.Play(); }), "(no error)");
  rig_.output.Hold(VirtualOutput::Call::kStop);
  EXPECT_EQ(ErrorOf([&] { rig_.player.Stop(); }), no_answer);
  EXPECT_EQ(rig_.player.CurrentState(), State::kReady);
  rig_.output.Release(VirtualOutput::Call::kStart);
  rig_.output.Release(VirtualOutput::Call::kStop);
  // The Stop that was not answered is served late, after the start.
  ASSERT_TRUE(testing::Eventually([&] { return !rig_.player.Sounding(); }));

  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 8000), SongSamples(0, 8000));
  EXPECT_EQ(rig_.player.LostSong(), "");
  EXPECT_FALSE(rig_.output.CalledFrom(std::this_thread::get_id()));
}

// The sound server goes away and comes back, as desktops restart it: a song it never received is
// reported lost, as are the plays while it stays away, and the song plays again once it is back;
// no Play waits or fails meanwhile.
TEST_F(MediaPlayerTest, AStreamThatDiedIsOpenedAnewAndItsLostSongTold) {
  WriteSong(folder_.path() / "song.wav", 1000);
  LoadSong("song.wav");
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 1000), SongSamples(0, 1000));
  EXPECT_EQ(rig_.player.LostSong(), "");

  rig_.output.BreakStreams();
  rig_.output.SetRefusing(true);
  for (int trial = 0; trial < 2; ++trial) {
    rig_.player.Play();
    ASSERT_TRUE(testing::Eventually([&] { return !rig_.player.LostSong().empty(); }));
    EXPECT_EQ(rig_.player.LostSong(), "The sound device is not available");
    EXPECT_EQ(rig_.player.Health().stream, "dead");
    EXPECT_EQ(rig_.player.Health().error, "The sound device is not available");
  }
  EXPECT_EQ(rig_.player.CurrentState(), State::kReady) << "the song is kept for the next try";

  rig_.output.SetRefusing(false);
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 1000), SongSamples(0, 1000));
  EXPECT_EQ(rig_.player.LostSong(), "");
  EXPECT_EQ(rig_.player.Health().error, "");

  // Dying in the middle of the song loses the song too.
  rig_.player.Play();
  EXPECT_EQ(PlayFrames(rig_, 100), SongSamples(0, 100));
  rig_.output.BreakStreams();
  EXPECT_TRUE(testing::Eventually([&] { return !rig_.player.LostSong().empty(); }));
  EXPECT_EQ(rig_.player.LostSong(), "The sound device went away");
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
