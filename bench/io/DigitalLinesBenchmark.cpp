// What ReadPerch, PuffOn and PuffOff cost beyond the driver's own calls: the same three driver
// calls are timed alone, straight into the simulated driver, and through DigitalLines.
#include <benchmark/benchmark.h>

#include <array>
#include <optional>

#include "bench/support/PeakMemory.h"
#include "io/DigitalLines.h"
#include "io/IndicatorShapes.h"
#include "io/platform/SharedLibrary.h"
#include "tests/io/support/FakeWindow.h"
#include "tests/io/support/SimulatedDevice.h"

namespace orvane {
namespace {

constexpr int kCallsPerIteration = 3;

// The window's shapes at their cheapest, so that only this program's own work is timed.
class LastColours final : public IndicatorShapes {
 public:
  void SetPerchColour(Colour colour) override { perch = colour; }
  void SetPuffColour(Colour colour) override { puff = colour; }
  void ShowDeviceFailing(bool on) override { failing = on; }
  void SetPuffNote(const std::string&) override {}

  Colour perch = colours::kBlack;
  Colour puff = colours::kBlue;
  bool failing = false;
};

void ReportPerCall(benchmark::State& state) {
  state.counters["per_call"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kCallsPerIteration,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["peak_rss_bytes"] =
      benchmark::Counter(static_cast<double>(bench::PeakResidentBytes()));
}

testing::SimulatedDevice& QuietDevice() {
  static testing::SimulatedDevice device;
  device.Reset();
  device.SetRecording(false);  // recording text would swamp the figures
  return device;
}

template <typename Function>
Function Driver(const SharedLibrary& library, const char* name) {
  return reinterpret_cast<Function>(library.Find(name));
}

void BM_SimulatedDriverAlone(benchmark::State& state) {
  QuietDevice();
  std::optional<SharedLibrary> library = SharedLibrary::Open(daq::kLibraryFileNames[0]);
  if (!library) {
    state.SkipWithError("the simulated driver library was not found");
    return;
  }
  const auto create = Driver<daq::CreateTaskFunction>(*library, "DAQmxCreateTask");
  const auto read = Driver<daq::ReadDigitalLinesFunction>(*library, "DAQmxReadDigitalLines");
  const auto write = Driver<daq::WriteDigitalLinesFunction>(*library, "DAQmxWriteDigitalLines");
  daq::TaskHandle puffer = nullptr;
  daq::TaskHandle perch = nullptr;
  create("", &puffer);
  create("", &perch);
  std::array<daq::uInt8, 100> buffer{};
  daq::int32 samples = 0;
  daq::int32 bytes = 0;
  for (auto _ : state) {
    read(perch, 1, 10.0, 0, buffer.data(), 100, &samples, &bytes, nullptr);
    benchmark::DoNotOptimize(buffer[7] == 0);
    write(puffer, 1, 1, 10.0, 0, kPuffOnPattern.data(), nullptr, nullptr);
    write(puffer, 1, 1, 10.0, 0, kPuffOffPattern.data(), nullptr, nullptr);
    benchmark::ClobberMemory();
  }
  ReportPerCall(state);
}
BENCHMARK(BM_SimulatedDriverAlone);

void BM_ReadPerchPuffOnPuffOff(benchmark::State& state) {
  QuietDevice();
  testing::FixedSettings settings;
  LastColours shapes;
  testing::RecordingNotices notices;
  DigitalLines lines(settings, shapes, notices);
  lines.OpenTasks();
  for (auto _ : state) {
    benchmark::DoNotOptimize(lines.ReadPerch());
    lines.PuffOn();
    lines.PuffOff();
    benchmark::ClobberMemory();
  }
  lines.CloseTasks();
  ReportPerCall(state);
}
BENCHMARK(BM_ReadPerchPuffOnPuffOff);

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
