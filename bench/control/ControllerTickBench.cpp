// Eight hours of controller ticks, fast-forwarded through the real choosers with substitutes for
// the hardware, the players and the log, with the bird hopping on and off the perch.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/support/PeakMemory.h"
#include "control/SongKindSelection.h"
#include "control/TrialController.h"

namespace orvane {
namespace {

constexpr int kEightHoursOfTicks = 8 * 60 * 60 * 10;

struct Settings final : ExperimentSettings {
  double Odds() const override { return 100 / 1000.0; }
  std::int32_t NeutralShareItem() const override { return 2; }
  std::int32_t SelectionMode() const override { return mode; }
  std::int32_t SerialBlockLength() const override { return 10; }
  std::int32_t SerialStartItem() const override { return 0; }
  double PuffDelay() const override { return 20 / 10.0; }
  std::int32_t PuffDuration() const override { return 10; }
  double PerchLine() const override { return 7; }
  std::int32_t mode = 0;
};

// The bird sits for 37 ticks, then is away for 13, over and over.
struct HoppingBird final : PerchAndPuffer {
  std::uint32_t tick = 0;
  std::uint64_t puffs = 0;
  bool ReadPerch() override { return (tick++ % 50) < 37; }
  void PuffOn() override { ++puffs; }
  void PuffOff() override {}
};

struct SilentPlayer final : Player {
  std::uint64_t plays = 0;
  void Play() override { ++plays; }
  bool Enabled() const override { return true; }
};

struct CountingLog final : TrialLogger {
  std::uint64_t rows = 0;
  void LogTrial(SongKind, bool) override { ++rows; }
};

struct Lists final : SongListHighlight {
  Colour bad = 0, good = 0;
  void SetBadListColour(Colour c) override { bad = c; }
  void SetGoodListColour(Colour c) override { good = c; }
};

struct View final : ControllerView {
  void SetWindowColour(Colour) override {}
  void ShowErrorMessage(std::string_view) override {}
};

struct AlwaysOnTimer final : Timer {
  bool on = false;
  void Enable() override { on = true; }
  void Disable() override { on = false; }
  bool IsEnabled() const override { return on; }
};

// Calendar seconds that follow the ticks, ten to a second.
struct TickClock final : CalendarClock {
  explicit TickClock(const HoppingBird& bird) : bird(bird) {}
  const HoppingBird& bird;
  std::int64_t SecondsSinceEpoch() const override { return 1'700'000'000 + bird.tick / 10; }
};

void EightHoursOfTicks(benchmark::State& state) {
  const std::size_t peak_before = bench::PeakResidentBytes();
  Settings settings;
  settings.mode = static_cast<std::int32_t>(state.range(0));
  HoppingBird bird;
  SilentPlayer good, bad;
  CountingLog log;
  Lists lists;
  View view;
  AlwaysOnTimer timer1, timer2;
  TickClock clock(bird);
  SongKindSelection selection(settings, lists, clock);
  TrialController controller({settings, bird, selection, good, bad, log, view, timer1, timer2});
  controller.StartClick();

  for (auto _ : state) {
    for (int tick = 0; tick < kEightHoursOfTicks; ++tick) {
      controller.Timer1Timer();
    }
    benchmark::DoNotOptimize(log.rows);
  }
  const std::size_t peak_after = bench::PeakResidentBytes();

  state.SetItemsProcessed(state.iterations() * kEightHoursOfTicks);
  state.counters["ns_per_tick"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kEightHoursOfTicks,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["trials_per_8h"] =
      static_cast<double>(log.rows) / static_cast<double>(state.iterations());
  state.counters["peak_rss_before_kB"] = static_cast<double>(peak_before) / 1024.0;
  state.counters["peak_rss_after_kB"] = static_cast<double>(peak_after) / 1024.0;
}
BENCHMARK(EightHoursOfTicks)->Arg(0)->Arg(1)->ArgName("serial")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
