// Start-up to the shown window, and the window's resident memory then and after a run of logged
// trials. Each run is a fresh process: this program starts itself once per run, so that the
// start-up cost includes loading the program and its libraries. The clock is the steady clock,
// which on the supported platforms is one monotonic clock for every process of the machine.
//
// The measured process does what the program's entry point does, with the virtual output device
// in place of the sound card and the simulated acquisition driver, then drives the controller's
// ticks with the bird on the perch until the trials are logged; the window processes its events
// after every tick, so the log table is laid out and painted as it grows.
//
// Options: --runs N (5), --trials N (1000). Needs a display, or QT_QPA_PLATFORM=offscreen, which
// the measured processes inherit.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "app/OrvaneApplication.h"
#include "bench/support/PeakMemory.h"
#include "bench/ui/Figures.h"
#include "bench/ui/ProgramWindow.h"
#include "tests/playback/SongFiles.h"
#include "ui/Fonts.h"

namespace {

using Clock = std::chrono::steady_clock;

long long Nanoseconds(Clock::time_point at) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

// The window's first paint, and the end of the frame it begins: every control has been painted
// once when the event loop comes back to the posted call.
class FirstFrame final : public QObject {
 public:
  explicit FirstFrame(QWidget& window) : window_(window) { window.installEventFilter(this); }

  bool Done() const { return done_; }

  Clock::time_point painted{};
  Clock::time_point frame_done{};
  std::size_t resident_at_paint = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Paint && painted == Clock::time_point{}) {
      painted = Clock::now();
      resident_at_paint = orvane::bench::CurrentResidentBytes();
      QTimer::singleShot(0, this, [this] {
        frame_done = Clock::now();
        done_ = true;
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget& window_;
  bool done_ = false;
};

int RunMeasured(Clock::time_point entered, int argc, char* argv[], const std::string& folder,
                int trials) {
  orvane::OrvaneApplication app(argc, argv);
  orvane::SetUpWindowFonts();
  // The run's journal beside the songs, in the folder the parent removes at the end.
  orvane::bench::ProgramWindow program(folder, folder + "/journals");
  FirstFrame frame(program.window());
  program.window().show();
  while (!frame.Done()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  const std::size_t resident_shown = orvane::bench::CurrentResidentBytes();
  const std::size_t peak_shown = orvane::bench::PeakResidentBytes();

  program.BirdOnPerch();
  program.PickSongs();
  QCoreApplication::processEvents();
  const Clock::time_point driving = Clock::now();
  long long ticks = 0;
  constexpr long long kMostTicks = 100'000'000;
  while (program.LoggedRows() < trials && ticks < kMostTicks) {
    emit program.window().Timer1().tick();
    QCoreApplication::processEvents();
    ++ticks;
  }
  const Clock::time_point driven = Clock::now();
  const std::size_t resident_logged = orvane::bench::CurrentResidentBytes();
  const std::size_t peak_logged = orvane::bench::PeakResidentBytes();
  const int rows = program.LoggedRows();
  program.window().close();

  const auto ms = [](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
  };
  std::printf("entered_ns %lld\n", Nanoseconds(entered));
  std::printf("painted_ns %lld\n", Nanoseconds(frame.painted));
  std::printf("main_to_paint_ms %.3f\n", ms(frame.painted - entered));
  std::printf("main_to_frame_ms %.3f\n", ms(frame.frame_done - entered));
  std::printf("resident_paint_bytes %zu\n", frame.resident_at_paint);
  std::printf("resident_shown_bytes %zu\n", resident_shown);
  std::printf("peak_shown_bytes %zu\n", peak_shown);
  std::printf("rows %d\n", rows);
  std::printf("ticks %lld\n", ticks);
  std::printf("driving_s %.3f\n", ms(driven - driving) / 1000);
  std::printf("resident_logged_bytes %zu\n", resident_logged);
  std::printf("peak_logged_bytes %zu\n", peak_logged);
  std::fflush(stdout);
  return rows >= trials ? 0 : 1;
}

int Option(const QStringList& arguments, const char* name, int fallback) {
  const qsizetype at = arguments.indexOf(name);
  if (at >= 0 && at + 1 < arguments.size()) {
    bool ok = false;
    const int value = arguments[at + 1].toInt(&ok);
    if (ok && value > 0) {
      return value;
    }
  }
  return fallback;
}

double Median(std::vector<double> values) {
  return orvane::bench::Percentile(std::move(values), 0.5);
}

int RunAll(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  const int runs = Option(arguments, "--runs", 5);
  const int trials = Option(arguments, "--trials", 1000);
  const orvane::testing::TempFolder songs;
  orvane::bench::WriteBenchSongs(songs.Utf8());

  std::printf("Start-up to the shown window and resident memory, %d fresh processes, %d trials\n",
              runs, trials);
  std::printf("%4s %11s %11s %11s %10s %10s %10s %10s %8s %8s\n", "run", "start>paint",
              "main>paint", "main>frame", "RSS shown", "peak", "RSS trials", "peak", "ticks",
              "drive");
  std::printf("%4s %11s %11s %11s %10s %10s %10s %10s %8s %8s\n", "", "ms", "ms", "ms", "MiB",
              "MiB", "MiB", "MiB", "", "s");
  QMap<QString, std::vector<double>> columns;
  for (int run = 1; run <= runs; ++run) {
    QProcess measured;
    measured.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QStringList child_arguments{"--measured", QString::fromStdString(songs.Utf8()),
                                      QString::number(trials)};
    const Clock::time_point launched = Clock::now();
    measured.start(QCoreApplication::applicationFilePath(), child_arguments);
    if (!measured.waitForFinished(-1) || measured.exitStatus() != QProcess::NormalExit ||
        measured.exitCode() != 0) {
      std::fprintf(stderr, "run %d failed\n", run);
      return 1;
    }
    QMap<QString, double> figures;
    for (const QByteArray& line : measured.readAllStandardOutput().split('\n')) {
      const QList<QByteArray> parts = line.trimmed().split(' ');
      if (parts.size() == 2) {
        figures[QString::fromLatin1(parts[0])] = parts[1].toDouble();
      }
    }
    const double start_to_paint = (figures["painted_ns"] - Nanoseconds(launched)) / 1e6;
    const QMap<QString, double> row{
        {"start_to_paint_ms", start_to_paint},
        {"main_to_paint_ms", figures["main_to_paint_ms"]},
        {"main_to_frame_ms", figures["main_to_frame_ms"]},
        {"resident_shown", orvane::bench::Mebibytes(figures["resident_shown_bytes"])},
        {"peak_shown", orvane::bench::Mebibytes(figures["peak_shown_bytes"])},
        {"resident_logged", orvane::bench::Mebibytes(figures["resident_logged_bytes"])},
        {"peak_logged", orvane::bench::Mebibytes(figures["peak_logged_bytes"])},
        {"ticks", figures["ticks"]},
        {"driving_s", figures["driving_s"]}};
    for (auto it = row.begin(); it != row.end(); ++it) {
      columns[it.key()].push_back(it.value());
    }
    std::printf("%4d %11.1f %11.1f %11.1f %10.1f %10.1f %10.1f %10.1f %8.0f %8.1f\n", run,
                row["start_to_paint_ms"], row["main_to_paint_ms"], row["main_to_frame_ms"],
                row["resident_shown"], row["peak_shown"], row["resident_logged"],
                row["peak_logged"], row["ticks"], row["driving_s"]);
    std::fflush(stdout);
  }
  std::printf("%4s %11.1f %11.1f %11.1f %10.1f %10.1f %10.1f %10.1f %8.0f %8.1f\n", "med",
              Median(columns["start_to_paint_ms"]), Median(columns["main_to_paint_ms"]),
              Median(columns["main_to_frame_ms"]), Median(columns["resident_shown"]),
              Median(columns["peak_shown"]), Median(columns["resident_logged"]),
              Median(columns["peak_logged"]), Median(columns["ticks"]),
              Median(columns["driving_s"]));
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  const Clock::time_point entered = Clock::now();
  try {
    if (argc == 4 && std::strcmp(argv[1], "--measured") == 0) {
      return RunMeasured(entered, argc, argv, argv[2], std::atoi(argv[3]));
    }
    return RunAll(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "start-up benchmark failed: %s\n", error.what());
    return 1;
  }
}
