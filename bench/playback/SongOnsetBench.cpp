// Plays tones through the default output device the way trials start songs, records what the
// device really sounded from the sound server's monitor, and reports each song's onset (from the
// moment it was asked for to its first sample) and any holes inside it. The system's own player
// plays the same file the same way as the baseline.
//
//   song_onset_bench [songs] [label] [each] [latency=<ms>]
// each: a line per song too; latency: how much the output device holds ahead instead of the
// program's own.
//
// Linux with a PulseAudio server only: the bench loads a null sink of its own, so that nothing
// else sounding on the server mixes into its recording.
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "playback/MediaPlayer.h"
#include "playback/audio/PortAudioOutput.h"
#include "playback/audio/StreamingSoundService.h"

extern char** environ;

namespace orvane {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int kRate = 44100;
constexpr double kToneSeconds = 1.0;
constexpr double kSongPeriod = 1.5;  // a song every fifteen ticks
constexpr double kTick = 0.1;
constexpr float kLoud = 0.1f;     // the tone's amplitude is 0.5
constexpr float kSilent = 0.02f;  // a 1 kHz tone at 0.5 never stays below this for two samples
constexpr double kGapSeconds = 0.002;
const char* const kSink = "orvane_onset_bench";

std::string Run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
      out += buffer;
    }
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
    out.pop_back();
  }
  return out;
}

void WriteTone(const std::filesystem::path& path, double hertz) {
  SF_INFO info{};
  info.channels = 2;
  info.samplerate = kRate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    throw std::runtime_error("cannot write " + path.string());
  }
  const auto frames = static_cast<std::size_t>(kToneSeconds * kRate);
  std::vector<float> samples(2 * frames);
  for (std::size_t f = 0; f < frames; ++f) {
    const float value =
        0.5f * static_cast<float>(std::sin(2 * M_PI * hertz * static_cast<double>(f) / kRate));
    samples[2 * f] = samples[2 * f + 1] = value;
  }
  sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
  sf_close(file);
}

// Records the sink's monitor. Around a moment, sample n sounded at StartNear() + n / kRate, the
// start estimated from the least delayed of the reads nearby (the sink's clock need not keep
// step with ours over minutes).
class MonitorRecorder {
 public:
  explicit MonitorRecorder(const std::string& source) {
    int ends[2];
    if (pipe(ends) != 0) {
      throw std::runtime_error("no pipe for parec");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    const std::string rate = "--rate=" + std::to_string(kRate);
    const char* argv[] = {"parec",      "--raw",        "--format=float32le",
                          rate.c_str(), "--channels=1", "--latency-msec=2",
                          "-d",         source.c_str(), nullptr};
    const int spawned =
        posix_spawnp(&recorder_, "parec", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
      close(ends[0]);
      throw std::runtime_error("parec did not start");
    }
    fd_ = ends[0];
    samples_.reserve(static_cast<std::size_t>(kRate) * 600);
    thread_ = std::thread([this] { Record(); });
  }
  ~MonitorRecorder() {
    kill(recorder_, SIGTERM);
    thread_.join();
    close(fd_);
    waitpid(recorder_, nullptr, 0);
  }

  std::vector<float> Samples() {
    std::lock_guard lock(mutex_);
    return samples_;
  }
  double StartNear(double moment) {
    std::lock_guard lock(mutex_);
    double start = 1e300;
    for (const auto& [when, count] : arrivals_) {
      if (when > moment - 0.5 && when < moment + kSongPeriod) {
        start = std::min(start, when - static_cast<double>(count) / kRate);
      }
    }
    return start;
  }

 private:
  void Record() {
    std::vector<char> buffer(4096);
    std::vector<char> pending;
    for (;;) {
      const ssize_t got = read(fd_, buffer.data(), buffer.size());
      if (got <= 0) {
        break;
      }
      const double now = Seconds(Clock::now().time_since_epoch()).count();
      pending.insert(pending.end(), buffer.begin(), buffer.begin() + got);
      const std::size_t whole = pending.size() / sizeof(float);
      std::lock_guard lock(mutex_);
      const std::size_t before = samples_.size();
      samples_.resize(before + whole);
      std::memcpy(samples_.data() + before, pending.data(), whole * sizeof(float));
      pending.erase(pending.begin(), pending.begin() + static_cast<long>(whole * sizeof(float)));
      arrivals_.emplace_back(now, samples_.size());
    }
  }

  pid_t recorder_ = 0;
  int fd_ = -1;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<float> samples_;
  std::vector<std::pair<double, std::size_t>> arrivals_;  // time of a read, samples then
};

struct SongResult {
  bool found = false;
  double onset_ms = 0;
  int gaps = 0;          // holes longer than kGapSeconds
  double silent_ms = 0;  // in all of them
  double sounded_ms = 0;
};

SongResult Analyse(const std::vector<float>& samples, double record_start, double asked_at) {
  SongResult result;
  const auto at = static_cast<std::int64_t>((asked_at - record_start) * kRate);
  const auto search_end = std::min<std::int64_t>(at + kRate, std::ssize(samples));
  std::int64_t first = std::max<std::int64_t>(at - kRate / 100, 0);
  while (first < search_end && std::fabs(samples[static_cast<std::size_t>(first)]) < kLoud) {
    ++first;
  }
  if (first >= search_end) {
    return result;
  }
  result.found = true;
  result.onset_ms = 1000.0 * static_cast<double>(first - at) / kRate;
  // The song ends before the next one is asked for, holes included.
  const std::int64_t window_end = std::min<std::int64_t>(
      at + static_cast<std::int64_t>((kSongPeriod - 0.02) * kRate), std::ssize(samples));
  std::int64_t last = window_end - 1;
  while (last > first && std::fabs(samples[static_cast<std::size_t>(last)]) < kLoud) {
    --last;
  }
  std::int64_t run = 0;
  for (std::int64_t n = first; n <= last + 1; ++n) {
    if (n <= last && std::fabs(samples[static_cast<std::size_t>(n)]) < kSilent) {
      ++run;
      continue;
    }
    if (run > kGapSeconds * kRate) {
      ++result.gaps;
      result.silent_ms += 1000.0 * static_cast<double>(run) / kRate;
    }
    run = 0;
  }
  result.sounded_ms = 1000.0 * static_cast<double>(last + 1 - first) / kRate - result.silent_ms;
  return result;
}

// What the players counted of their songs' way to the device.
struct Counted {
  std::uint64_t frames_owed = 0;
  std::uint64_t underflows = 0;
};

struct Summary {
  std::string player;
  std::vector<SongResult> songs;
  std::vector<double> play_call_ms;  // the window thread's share of each song's start
  std::optional<Counted> counted;
};

void Print(const Summary& summary, const std::string& label, bool each) {
  for (std::size_t i = 0; each && i < summary.songs.size(); ++i) {
    const SongResult& song = summary.songs[i];
    std::printf("  %s song %zu: %s onset %.1f ms, %d holes, %.1f ms silent, %.1f ms sounded\n",
                summary.player.c_str(), i, song.found ? "heard" : "NOT HEARD", song.onset_ms,
                song.gaps, song.silent_ms, song.sounded_ms);
  }
  std::vector<double> onsets;
  int gapped = 0;
  int holes = 0;
  double silent = 0;
  int cut = 0;
  for (const SongResult& song : summary.songs) {
    if (!song.found) {
      continue;
    }
    onsets.push_back(song.onset_ms);
    gapped += song.gaps > 0 ? 1 : 0;
    holes += song.gaps;
    silent += song.silent_ms;
    cut += std::fabs(song.sounded_ms - 1000 * kToneSeconds) > 1000 * kGapSeconds ? 1 : 0;
  }
  std::sort(onsets.begin(), onsets.end());
  const double median = onsets.empty() ? NAN : onsets[onsets.size() / 2];
  const double max = onsets.empty() ? NAN : onsets.back();
  std::printf(
      "%-8s %-8s songs %3zu heard %3zu  onset median %6.1f ms max %6.1f ms  songs with gaps "
      "%3d (%d holes, %.0f ms silent)  not whole %3d",
      label.c_str(), summary.player.c_str(), summary.songs.size(), onsets.size(), median, max,
      gapped, holes, silent, cut);
  if (!summary.play_call_ms.empty()) {
    std::vector<double> calls = summary.play_call_ms;
    std::sort(calls.begin(), calls.end());
    std::printf("  Play() median %.3f ms max %.3f ms", calls[calls.size() / 2], calls.back());
  }
  if (summary.counted) {
    std::printf("  device ran dry %llu times, %llu frames not ready",
                static_cast<unsigned long long>(summary.counted->underflows),
                static_cast<unsigned long long>(summary.counted->frames_owed));
  }
  std::printf("\n");
}

void WaitUntil(Clock::time_point when) {
  std::this_thread::sleep_until(when);
}

// Two players, as the bad and the neutral song, each asked to play on a tick in turn.
Summary PlayOwn(int songs, double latency, const std::filesystem::path& folder,
                MonitorRecorder& recorder) {
  Summary summary{"orvane", {}, {}, {}};
  PortAudioOutput output(latency);
  StreamingSoundService service(output);
  if (!service.Settle(std::chrono::seconds(60))) {
    throw std::runtime_error("the sound device did not start");
  }
  MediaPlayer bad(service);
  MediaPlayer neutral(service);
  bad.SetFileName((folder / "bad.wav").string());
  neutral.SetFileName((folder / "neutral.wav").string());
  bad.Open();
  neutral.Open();
  std::vector<double> asked;
  auto next = Clock::now() + std::chrono::seconds(2);  // the recording settles first
  for (int i = 0; i < songs; ++i) {
    WaitUntil(next);
    MediaPlayer& player = i % 2 == 0 ? bad : neutral;
    const Clock::time_point before = Clock::now();
    player.Play();
    const Clock::time_point after = Clock::now();
    asked.push_back(Seconds(before.time_since_epoch()).count());
    summary.play_call_ms.push_back(1000 * Seconds(after - before).count());
    next += std::chrono::duration_cast<Clock::duration>(Seconds(kSongPeriod));
  }
  WaitUntil(next + std::chrono::milliseconds(200));
  const PlaybackHealth bad_health = bad.Health();
  const PlaybackHealth neutral_health = neutral.Health();
  summary.counted = Counted{bad_health.frames_owed + neutral_health.frames_owed,
                            bad_health.underflows + neutral_health.underflows};
  const std::vector<float> samples = recorder.Samples();
  for (double at : asked) {
    summary.songs.push_back(Analyse(samples, recorder.StartNear(at), at));
  }
  return summary;
}

Summary PlayBaseline(int songs, const std::filesystem::path& folder, MonitorRecorder& recorder) {
  Summary summary{"paplay", {}, {}, {}};
  const std::string file = (folder / "bad.wav").string();
  std::vector<double> asked;
  std::vector<pid_t> children;
  auto next = Clock::now() + std::chrono::seconds(2);  // the recording settles first
  for (int i = 0; i < songs; ++i) {
    WaitUntil(next);
    const char* argv[] = {"paplay", "-d", kSink, file.c_str(), nullptr};
    asked.push_back(Seconds(Clock::now().time_since_epoch()).count());
    pid_t child = 0;
    if (posix_spawnp(&child, "paplay", nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
      children.push_back(child);
    }
    next += std::chrono::duration_cast<Clock::duration>(Seconds(kSongPeriod));
  }
  WaitUntil(next + std::chrono::milliseconds(200));
  for (pid_t child : children) {
    waitpid(child, nullptr, 0);
  }
  const std::vector<float> samples = recorder.Samples();
  for (double at : asked) {
    summary.songs.push_back(Analyse(samples, recorder.StartNear(at), at));
  }
  return summary;
}

int Main(int argc, char** argv) {
  const int songs = argc > 1 ? std::atoi(argv[1]) : 100;
  const std::string label = argc > 2 ? argv[2] : "idle";
  bool each = false;
  double latency = PortAudioOutput::kHeldAheadSeconds;
  for (int i = 3; i < argc; ++i) {
    const std::string option = argv[i];
    each = each || option == "each";
    if (option.starts_with("latency=")) {
      latency = std::atof(option.c_str() + 8) / 1000;
    }
  }
  const std::string module =
      Run(std::string("pactl load-module module-null-sink sink_name=") + kSink);
  if (module.empty()) {
    std::cerr << "song_onset_bench: no PulseAudio server to load a sink into\n";
    return 1;
  }
  // The program's default output device is this sink from here on.
  setenv("PULSE_SINK", kSink, 1);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("orvane-onset-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  WriteTone(folder / "bad.wav", 1000);
  WriteTone(folder / "neutral.wav", 1000);
  int status = 0;
  try {
    std::optional<Summary> own;
    std::optional<Summary> baseline;
    {
      MonitorRecorder recorder(std::string(kSink) + ".monitor");
      own = PlayOwn(songs, latency, folder, recorder);
    }
    {
      MonitorRecorder recorder(std::string(kSink) + ".monitor");
      baseline = PlayBaseline(songs, folder, recorder);
    }
    Print(*own, label, each);
    Print(*baseline, label, each);
  } catch (const std::exception& error) {
    std::cerr << "song_onset_bench: " << error.what() << "\n";
    status = 1;
  }
  Run("pactl unload-module " + module);
  std::filesystem::remove_all(folder);
  return status;
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  return orvane::Main(argc, argv);
}
