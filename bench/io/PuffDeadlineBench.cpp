// What keeping the valve's deadline costs the window's tick, and how soon after its deadline the
// deadline's thread writes the off pattern for a window that does not answer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <optional>

#include "io/DigitalLines.h"
#include "io/PuffDeadline.h"
#include "io/ValveWatchdog.h"
#include "tests/io/support/FakeWindow.h"
#include "tests/io/support/SimulatedDevice.h"

#if !defined(_WIN32)
#include <unistd.h>

#include <filesystem>
#include <string>
#endif

namespace orvane {
namespace {

using Clock = PuffDeadline::Clock;

// The beat every handler of the window's thread gives, with nothing to tell.
void BM_Beat(benchmark::State& state) {
  testing::SimulatedDevice device;
  device.Reset();
  device.SetRecording(false);
  testing::FixedSettings settings;
  testing::RecordingShapes shapes;
  testing::RecordingNotices notices;
  DigitalLines lines(settings, shapes, notices);
  lines.OpenTasks();
  for (auto _ : state) {
    lines.Beat();
  }
  lines.CloseTasks();
}
BENCHMARK(BM_Beat);

// Arming and disarming around a write that costs nothing: the lock, the deadline and, where the
// thread has nothing else to look at (no watchdog), its wake. The first arm after a closed valve
// wakes it; here a deadline sooner than the thread's next look makes every arm do so. With a
// watchdog the thread looks every 100 ms anyway and is not woken.
void BM_ArmAndDisarm(benchmark::State& state) {
  PuffDeadline deadline([](const Pattern&) { return daq::int32{0}; });
  const bool watchdog = state.range(0) != 0;
  if (watchdog) {
    deadline.Start([] {});
  } else {
    deadline.Start();
  }
  const Clock::duration length =
      watchdog ? Clock::duration(std::chrono::seconds(1)) : -PuffDeadline::kAnswerGrace;
  for (auto _ : state) {
    deadline.Beat(Clock::now());
    deadline.SwitchOn(PuffDeadline::Puff::kTrial, length);
    deadline.SwitchOff(PuffDeadline::Puff::kTrial);
  }
  state.SetLabel(watchdog ? "watchdog: the thread looks every 100 ms"
                          : "each arm wakes the thread");
}
BENCHMARK(BM_ArmAndDisarm)->Arg(0)->Arg(1);

#if !defined(_WIN32)
// A reset of the simulated device's watchdog, made by the deadline's thread every 100 ms.
void BM_WatchdogReset(benchmark::State& state) {
  testing::SimulatedDevice device;
  device.Reset();
  device.SetRecording(false);
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("orvane-bench-watchdog-" + std::to_string(::getpid()));
  setenv(testing::kWatchdogLinesVariable, file.c_str(), 1);
  DaqDriver driver;
  ValveWatchdog watchdog(driver);
  watchdog.Open("Dev1", "Dev1/port0/line0:7");
  unsetenv(testing::kWatchdogLinesVariable);
  if (!watchdog.Running()) {
    state.SkipWithError("the simulated watchdog did not start");
    return;
  }
  for (auto _ : state) {
    watchdog.Reset();
  }
  watchdog.Close();
  std::filesystem::remove(file);
}
BENCHMARK(BM_WatchdogReset);
#endif

// A window that stops answering right after a puff was switched on: how long after the deadline
// (the later of the puff's end and the last beat's grace) the off pattern is written. Reported as
// the iteration time; the worst and the earliest as counters.
void BM_DeadlineToOffWrite(benchmark::State& state) {
  std::mutex mutex;
  std::condition_variable written_cv;
  std::optional<Clock::time_point> written;
  PuffDeadline deadline([&](const Pattern& pattern) {
    if (pattern == kPuffOffPattern) {
      const std::lock_guard lock(mutex);
      written = Clock::now();
      written_cv.notify_one();
    }
    return daq::int32{0};
  });
  deadline.Start();
  double worst = 0;
  double earliest = std::numeric_limits<double>::max();
  for (auto _ : state) {
    {
      const std::lock_guard lock(mutex);
      written.reset();
    }
    const Clock::time_point beat = Clock::now();
    deadline.Beat(beat);
    // The shortest puff: its margin ends before the beat's grace, which is then the deadline. Each
    // one by hand, so that it is a puff of its own.
    deadline.SwitchOn(PuffDeadline::Puff::kManual, Clock::duration::zero());
    const Clock::time_point due = beat + PuffDeadline::kAnswerGrace;
    std::unique_lock lock(mutex);
    written_cv.wait(lock, [&] { return written.has_value(); });
    const double late = std::chrono::duration<double>(*written - due).count();
    worst = std::max(worst, late);
    earliest = std::min(earliest, late);
    state.SetIterationTime(std::max(late, 0.0));
  }
  state.counters["worst_us"] = worst * 1e6;
  state.counters["earliest_us"] = earliest * 1e6;  // below 0 would be a write before the deadline
}
BENCHMARK(BM_DeadlineToOffWrite)->UseManualTime()->Iterations(25)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
