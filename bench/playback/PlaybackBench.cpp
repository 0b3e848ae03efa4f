#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "bench/support/PeakMemory.h"
#include "playback/FileList.h"
#include "playback/MediaPlayer.h"
#include "playback/audio/PortAudioOutput.h"
#include "playback/audio/SongStream.h"
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

PortAudioOutput& RealOutput() {
  static PortAudioOutput output;
  return output;
}

void OpenTenSecondSong(benchmark::State& state, AudioOutput& output) {
  StreamingSoundService service(output);
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
  OpenTenSecondSong(state, RealOutput());
}
BENCHMARK(BM_OpenTenSecondSong_RealDevice)->Unit(benchmark::kMillisecond);

void BM_OpenTenSecondSong_VirtualDevice(benchmark::State& state) {
  VirtualOutput output;
  OpenTenSecondSong(state, output);
}
BENCHMARK(BM_OpenTenSecondSong_VirtualDevice)->Unit(benchmark::kMillisecond);

// The window thread's share of a trial's start, while the song sits stopped midway.
void BM_PlayCost_RealDevice(benchmark::State& state) {
  OpenedSong song = SongStream::Open(Songs().Utf8("ten.wav"), RealOutput());
  if (!song.device) {
    state.SkipWithError("no default output device");
    return;
  }
  auto& stream = static_cast<SongStream&>(*song.device);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    stream.Play();
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    stream.Stop();
  }
  state.counters["output_latency_ms"] = stream.OutputLatencySeconds() * 1000;
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
    while (player.Sounding() || player.Position() != player.Length()) {
      if (!player.Sounding()) {
        player.Play();
      }
      output.Pull(512);
    }
    // Trials are seconds apart; the reader refills the song's start in that time.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    state.ResumeTiming();
    player.Play();
  }
}
BENCHMARK(BM_PlayCostWithRewind_VirtualDevice)->Unit(benchmark::kMicrosecond)->Iterations(20);

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
    output.Pull(8000);
  }
  state.counters["resident_growth_MB"] =
      static_cast<double>(bench::CurrentResidentBytes() - before) / 1e6;
}
BENCHMARK(BM_OpenTwoHourSong)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
