// How many lines a second the run's event log takes, with the bird on and off the perch at every
// tick, so that every tick records a perch change (and trials run as they come): the window is
// built as the program builds it and its Timer1 handler is called as fast as it returns, the
// perch scripted before each call. Also the size the run's files grow by per hour of such a run
// at the real ten ticks a second, and the resident memory at the start and the end: the event log
// keeps no line it has written, so only the window's own log table may grow.
//
// Runs for 600 s (--seconds N for another time); needs a display, or QT_QPA_PLATFORM=offscreen.
#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/OrvaneApplication.h"
#include "bench/support/PeakMemory.h"
#include "bench/ui/Figures.h"
#include "bench/ui/ProgramWindow.h"
#include "tests/io/support/SimulatedDevice.h"
#include "tests/playback/SongFiles.h"
#include "ui/Fonts.h"

namespace {

using Clock = std::chrono::steady_clock;

int SecondsAsked(const QStringList& arguments) {
  const qsizetype at = arguments.indexOf("--seconds");
  if (at >= 0 && at + 1 < arguments.size()) {
    bool ok = false;
    const int seconds = arguments[at + 1].toInt(&ok);
    if (ok && seconds > 0) {
      return seconds;
    }
  }
  return 600;
}

double Size(const std::filesystem::path& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0.0 : static_cast<double>(size);
}

int Run() {
  const int seconds = SecondsAsked(QCoreApplication::arguments());
  orvane::SetUpWindowFonts();
  const orvane::testing::TempFolder songs;
  orvane::bench::WriteBenchSongs(songs.Utf8());
  const orvane::testing::TempFolder journals;
  orvane::bench::ProgramWindow program(songs.Utf8(), journals.Utf8());
  program.QuietDriver();
  orvane::testing::SimulatedDevice device;
  program.PickSongs();
  program.PressStart();
  TForm1& window = program.window();
  window.Timer1().Disable();  // the loop below ticks in its place
  const orvane::record::RunRecord& record = window.Record();
  const std::size_t resident_before = orvane::bench::CurrentResidentBytes();

  std::printf("Event log with the perch changing at every tick, %d s flat out\n", seconds);
  std::printf("%8s %12s %12s %12s %10s\n", "s", "ticks", "events", "events/s", "RSS MiB");
  const Clock::time_point began = Clock::now();
  const std::uint64_t events_before = record.Events().Events();
  long long ticks = 0;
  int reported = 0;
  for (bool on = true;; on = !on) {
    device.ScriptRead(on ? orvane::testing::LowOn({7}) : orvane::testing::LowOn({}));
    window.Timer1Timer();
    ++ticks;
    if ((ticks & 1023) != 0) {
      continue;
    }
    QCoreApplication::processEvents();
    const double elapsed = std::chrono::duration<double>(Clock::now() - began).count();
    if (elapsed >= (reported + 1) * 60.0 || elapsed >= seconds) {
      ++reported;
      const double events = static_cast<double>(record.Events().Events() - events_before);
      std::printf("%8.0f %12lld %12.0f %12.0f %10.1f\n", elapsed, ticks, events, events / elapsed,
                  orvane::bench::Mebibytes(orvane::bench::CurrentResidentBytes()));
      std::fflush(stdout);
    }
    if (elapsed >= seconds) {
      break;
    }
  }
  const double events = static_cast<double>(record.Events().Events() - events_before);
  const double per_hour = 36000.0 / static_cast<double>(ticks);  // ten ticks a second
  const double event_bytes = Size(record.Events().Path());
  const double table_bytes = Size(record.Table().Path());
  const double journal_bytes = Size(window.Journal().Path());
  std::printf("  %.0f events in %lld ticks (%d trials); %.0f bytes a line on average\n", events,
              ticks, program.LoggedRows(), event_bytes / events);
  std::printf(
      "  per hour at ten ticks a second: event log %.1f MiB, trial table %.2f MiB, "
      "journal %.2f MiB\n",
      orvane::bench::Mebibytes(static_cast<std::size_t>(event_bytes * per_hour)),
      orvane::bench::Mebibytes(static_cast<std::size_t>(table_bytes * per_hour)),
      orvane::bench::Mebibytes(static_cast<std::size_t>(journal_bytes * per_hour)));
  std::printf("  resident memory %.1f MiB before, %.1f MiB after\n",
              orvane::bench::Mebibytes(resident_before),
              orvane::bench::Mebibytes(orvane::bench::CurrentResidentBytes()));
  window.close();
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication app(argc, argv);
  try {
    return Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "event log benchmark failed: %s\n", error.what());
    return 1;
  }
}
