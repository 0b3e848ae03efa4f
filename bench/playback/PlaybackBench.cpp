#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "bench/support/PeakMemory.h"
#include "playback/FileList.h"
#include "playback/MediaPlayer.h"
#include "playback/audio/PortAudioOutput.h"
#include "playback/audio/StreamingSoundService.h"
#include "playback/audio/VirtualOutput.h"
#include "playback/platform/Utf8Path.h"
#include "tests/playback/SongFiles.h"

namespace orvane {
namespace {

using testing::TempFolder;
using testing::WriteSong;

const TempFolder& Songs() {
  static const TempFolder folder;
  static const bool written =
      (WriteSong(folder.path() / "ten.wav", 10 * 44100, {2, 44100, SF_FORMAT_PCM_16}), true);
  (void)written;
  return folder;
}

// The real device's service, started once: finding the devices takes a good part of a second.
StreamingSoundService& RealService() {
  static PortAudioOutput output;
  static StreamingSoundService service(output);
  static const bool settled = service.Settle(std::chrono::seconds(60));
  (void)settled;
  return service;
}

void OpenTenSecondSong(benchmark::State& state, SoundService& service) {
  MediaPlayer player(service);
  player.SetFileName(Songs().Utf8("ten.wav"));
  for (auto _ : state) {
    try {
      player.Open();
    } catch (const std::exception& error) {
      state.SkipWithError(error.what());
      return;
    }
  }
}

void BM_OpenTenSecondSong_RealDevice(benchmark::State& state) {
  OpenTenSecondSong(state, RealService());
}
BENCHMARK(BM_OpenTenSecondSong_RealDevice)->Unit(benchmark::kMillisecond);

void BM_OpenTenSecondSong_VirtualDevice(benchmark::State& state) {
  VirtualOutput output;
  StreamingSoundService service(output);
  OpenTenSecondSong(state, service);
}
BENCHMARK(BM_OpenTenSecondSong_VirtualDevice)->Unit(benchmark::kMillisecond);

// The window thread's share of a trial's start, while the song sits stopped midway.
void BM_PlayCost_RealDevice(benchmark::State& state) {
  MediaPlayer player(RealService());
  player.SetFileName(Songs().Utf8("ten.wav"));
  try {
    player.Open();
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
    return;
  }
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    player.Play();
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    player.Stop();
  }
}
BENCHMARK(BM_PlayCost_RealDevice)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Play of a song that ran to its end: the rewind is part of it.
void BM_PlayCostWithRewind_VirtualDevice(benchmark::State& state) {
  VirtualOutput output;
  StreamingSoundService service(output);
  MediaPlayer player(service);
  player.SetFileName(Songs().Utf8("ten.wav"));
  player.Open();
  for (auto _ : state) {
    state.PauseTiming();
    player.Play();
    while (player.Sounding()) {
      output.AwaitHolding(4096);
      output.Pull(4096);
    }
    // Trials are seconds apart; the song's thread refills its start in that time.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    state.ResumeTiming();
    player.Play();
    state.PauseTiming();
    player.Stop();
    player.Play();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PlayCostWithRewind_VirtualDevice)->Unit(benchmark::kMicrosecond)->Iterations(20);

// A song opened on a device at 48 kHz, at the lowest and highest rates converted and between;
// the window waits for this, and nothing may take more than 50 ms and 50 MB of it. Every song
// opened stays open, so the resident growth per open is what one open song holds.
void BM_OpenAtRate(benchmark::State& state) {
  const auto rate = static_cast<int>(state.range(0));
  static const TempFolder folder;
  const std::string name = std::to_string(rate) + ".wav";
  WriteSong(folder.path() / name, rate, {2, rate, SF_FORMAT_PCM_16});
  VirtualOutput output;
  output.SetOwnRate(48000);
  StreamingSoundService service(output);
  std::vector<std::unique_ptr<MediaPlayer>> open;
  service.Settle(std::chrono::seconds(10));
  const std::size_t before = bench::CurrentResidentBytes();
  for (auto _ : state) {
    open.push_back(std::make_unique<MediaPlayer>(service));
    open.back()->SetFileName(folder.Utf8(name));
    try {
      open.back()->Open();
    } catch (const std::exception& error) {
      state.SkipWithError(error.what());
      return;
    }
  }
  // The songs' threads fill their read-ahead after the open; that is part of what they hold.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  state.counters["resident_MB_per_song"] =
      static_cast<double>(bench::CurrentResidentBytes() - before) / 1e6 /
      static_cast<double>(open.size());
}
BENCHMARK(BM_OpenAtRate)
    ->Arg(1000)
    ->Arg(8000)
    ->Arg(44101)
    ->Arg(96000)
    ->Arg(384000)
    ->Arg(768000)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

void BM_ListTenThousandSongs(benchmark::State& state) {
  static const TempFolder folder;
  static const bool written = [] {
    for (int i = 0; i < 10000; ++i) {
      folder.Touch("song " + std::to_string(i) + (i % 2 ? ".wav" : ".WAV"));
    }
    folder.Touch("notes.txt");
    return true;
  }();
  (void)written;
  FileSystemFolderReader reader;
  for (auto _ : state) {
    FileList list(reader);
    list.ApplyFilePath(folder.Utf8());
    benchmark::DoNotOptimize(list.Entries().data());
  }
}
BENCHMARK(BM_ListTenThousandSongs)->Unit(benchmark::kMillisecond);

// A two-hour song picked by mistake: the open must stay quick and small.
void BM_OpenTwoHourSong(benchmark::State& state) {
  static const TempFolder folder;
  static const bool written =
      (WriteSong(folder.path() / "two hours.wav", 2 * 3600 * 8000, {1, 8000, SF_FORMAT_PCM_U8}),
       true);
  (void)written;
  VirtualOutput output;
  StreamingSoundService service(output);
  MediaPlayer player(service);
  player.SetFileName(folder.Utf8("two hours.wav"));
  const std::size_t before = bench::CurrentResidentBytes();
  for (auto _ : state) {
    player.Open();
    player.Play();
    output.AwaitHolding(8000);
    output.Pull(8000);
  }
  state.counters["resident_growth_MB"] =
      static_cast<double>(bench::CurrentResidentBytes() - before) / 1e6;
}
BENCHMARK(BM_OpenTwoHourSong)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
