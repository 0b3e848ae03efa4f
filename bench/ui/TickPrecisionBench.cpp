// How true the running window's Timer1 keeps its 100 ms: the window is built and shown as the
// program does it, songs are picked, the bird sits on the perch and Start is pressed; then every
// tick is stamped as its timer event is dispatched. Trials run meanwhile, so the ticks that start
// a song or log a row count as well.
//
// Runs 60 s for the default 600 periods (--ticks N for another count); needs a display, or
// QT_QPA_PLATFORM=offscreen. Run it on a quiet machine: another process's work delays ticks.
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QtGlobal>

#include <chrono>
#include <cstdio>
#include <exception>
#include <vector>

#include "app/OrvaneApplication.h"
#include "bench/ui/Figures.h"
#include "bench/ui/ProgramWindow.h"
#include "tests/playback/SongFiles.h"
#include "ui/Fonts.h"

namespace {

using Clock = std::chrono::steady_clock;

// The moment the last timer event was handed out by the event loop, before its receiver ran.
// Ticks are stamped with it, so that the work of the tick's own handler does not shift them.
class TimerDispatchStamp final : public QObject {
 public:
  Clock::time_point last{};

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Timer) {
      last = Clock::now();
    }
    return QObject::eventFilter(watched, event);
  }
};

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

int TicksAsked(const QStringList& arguments) {
  const qsizetype at = arguments.indexOf("--ticks");
  if (at >= 0 && at + 1 < arguments.size()) {
    bool ok = false;
    const int ticks = arguments[at + 1].toInt(&ok);
    if (ok && ticks > 1) {
      return ticks;
    }
  }
  return 600;
}

void WaitFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

int Run(orvane::OrvaneApplication& app) {
  const int periods = TicksAsked(QCoreApplication::arguments());
  constexpr double kPeriodMs = 100.0;

  orvane::SetUpWindowFonts();
  const orvane::testing::TempFolder songs;
  orvane::bench::WriteBenchSongs(songs.Utf8());
  const orvane::testing::TempFolder journals;
  orvane::bench::ProgramWindow program(songs.Utf8(), journals.Utf8());
  program.window().show();
  // Shown and painted before the first tick, as when the experimenter presses Start.
  WaitFor(500);
  program.BirdOnPerch();
  program.PickSongs();
  QCoreApplication::processEvents();

  TimerDispatchStamp dispatch;
  app.installEventFilter(&dispatch);
  std::vector<Clock::time_point> dispatched;
  std::vector<Clock::time_point> handled;
  // What each tick did, to tell which work makes a tick slow.
  enum class Work { kNone, kSongStarted, kRowLogged };
  std::vector<Work> work;
  bool was_playing = false;
  int rows_seen = program.LoggedRows();
  dispatched.reserve(static_cast<std::size_t>(periods) + 1);
  handled.reserve(static_cast<std::size_t>(periods) + 1);
  // Connected after the window's own handler, so it runs once the tick's work is done.
  QObject::connect(&program.window().Timer1(), &TickTimer::tick, &app, [&] {
    handled.push_back(Clock::now());
    dispatched.push_back(dispatch.last);
    const auto& state = program.window().Controller().state();
    const bool playing = state.good_playing || state.bad_playing;
    const int rows_now = program.LoggedRows();
    work.push_back(rows_now != rows_seen     ? Work::kRowLogged
                   : playing && !was_playing ? Work::kSongStarted
                                             : Work::kNone);
    was_playing = playing;
    rows_seen = rows_now;
    if (dispatched.size() == static_cast<std::size_t>(periods) + 1) {
      program.window().Timer1().Disable();
      QCoreApplication::quit();
    }
  });

  const int rows_before = program.LoggedRows();
  const Clock::time_point pressed = Clock::now();
  program.PressStart();
  app.exec();
  app.removeEventFilter(&dispatch);
  const int rows = program.LoggedRows() - rows_before;
  program.window().close();

  std::vector<double> deviation;
  std::vector<double> signed_period;
  // Whether a logged row's work holds up the tick after it.
  std::vector<double> period_after_row;
  for (std::size_t i = 1; i < dispatched.size(); ++i) {
    const double period = Milliseconds(dispatched[i] - dispatched[i - 1]);
    signed_period.push_back(period);
    deviation.push_back(std::abs(period - kPeriodMs));
    if (work[i - 1] == Work::kRowLogged) {
      period_after_row.push_back(period);
    }
  }
  std::vector<double> handling;
  std::vector<double> handling_by_work[3];
  for (std::size_t i = 0; i < dispatched.size(); ++i) {
    handling.push_back(Milliseconds(handled[i] - dispatched[i]));
    handling_by_work[static_cast<int>(work[i])].push_back(handling.back());
  }
  const double drift = Milliseconds(dispatched.back() - dispatched.front()) - periods * kPeriodMs;
  const double first = Milliseconds(dispatched.front() - pressed);
  const double against_start =
      Milliseconds(dispatched.back() - pressed) - (periods + 1) * kPeriodMs;

  std::printf("Timer1 of the shown window, %d periods after Start (platform %s, Qt %s)\n", periods,
              qPrintable(QGuiApplication::platformName()), qVersion());
  std::printf("  |period - 100 ms|  mean %.3f ms  median %.3f ms  p99 %.3f ms  max %.3f ms\n",
              orvane::bench::Mean(deviation), orvane::bench::Percentile(deviation, 0.5),
              orvane::bench::Percentile(deviation, 0.99),
              orvane::bench::Percentile(deviation, 1.0));
  std::printf("  period             min %.3f ms  mean %.4f ms  max %.3f ms\n",
              orvane::bench::Percentile(signed_period, 0.0), orvane::bench::Mean(signed_period),
              orvane::bench::Percentile(signed_period, 1.0));
  std::printf("  drift after %d periods (first tick to last): %+.3f ms\n", periods, drift);
  std::printf("  first tick %.3f ms after Start; last tick against Start's 100 ms grid: %+.3f ms\n",
              first, against_start);
  std::printf(
      "  tick handling (dispatch to end of Timer1Timer)  median %.3f ms  p99 %.3f ms  "
      "max %.3f ms\n",
      orvane::bench::Percentile(handling, 0.5), orvane::bench::Percentile(handling, 0.99),
      orvane::bench::Percentile(handling, 1.0));
  for (const double share : {0.5, 1.0}) {
    std::printf(
        "  %s tick handling: %.3f ms of %zu plain ticks, %.3f ms of %zu song starts, "
        "%.3f ms of %zu logged rows\n",
        share < 1.0 ? "median" : "slowest", orvane::bench::Percentile(handling_by_work[0], share),
        handling_by_work[0].size(), orvane::bench::Percentile(handling_by_work[1], share),
        handling_by_work[1].size(), orvane::bench::Percentile(handling_by_work[2], share),
        handling_by_work[2].size());
  }
  std::printf("  period after a logged row  median %.3f ms  max %.3f ms\n",
              orvane::bench::Percentile(period_after_row, 0.5),
              orvane::bench::Percentile(period_after_row, 1.0));
  std::printf("  trials logged during the run: %d\n", rows);
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication app(argc, argv);
  try {
    return Run(app);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tick precision benchmark failed: %s\n", error.what());
    return 1;
  }
}
