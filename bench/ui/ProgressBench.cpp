// What the Progress window costs over a run of 5,000 trials (--trials N for another count):
//  1. the live window takes the trials one at a time, each followed by a turn of the loop, in which
//     the window draws it (and paints, at most ten times a second); then the charts with every
//     trial are drawn and painted afresh, as a change of the axes has them;
//  2. the run's trial table is opened as a past run: read, counted and drawn, then painted;
//  3. the main window runs a tenth as many trials more, its ticks driven as fast as the loop turns,
//     with the bird on the perch, once with the Progress window closed and once open and already
//     showing the whole run: the tick that logs a row, and the loop's turns after it, in which the
//     open window draws and paints the trial.
// Times are wall-clock; the process's processor time is given beside them, since on a busy machine
// the wall-clock figures also hold the time other processes took.
// --only live, --only past or --only ticks runs one of them. Needs a display, or
// QT_QPA_PLATFORM=offscreen.
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/OrvaneApplication.h"
#include "bench/support/PeakMemory.h"
#include "bench/ui/Figures.h"
#include "bench/ui/ProgramWindow.h"
#include "progress/TrialTableReader.h"
#include "progress/view/ProgressCharts.h"
#include "progress/view/ProgressWindow.h"
#include "tests/playback/SongFiles.h"
#include "tests/progress/HandMadeTable.h"
#include "ui/Fonts.h"
#include "ui_MainWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double ProcessorMilliseconds() {
  return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

int TrialsAsked(const QStringList& arguments) {
  const qsizetype at = arguments.indexOf("--trials");
  if (at >= 0 && at + 1 < arguments.size()) {
    bool ok = false;
    const int trials = arguments[at + 1].toInt(&ok);
    if (ok && trials > 0) {
      return trials;
    }
  }
  return 5000;
}

void WaitFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// A bird that learns: it leaves on the bad song ever more often and ever sooner.
std::vector<orvane::testing::HandRow> LearningRun(int trials) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> share(0, 1);
  std::vector<orvane::testing::HandRow> rows;
  for (int i = 0; i < trials; ++i) {
    const double learnt = static_cast<double>(i) / trials;
    const bool bad = share(random) < 0.5;
    const bool escaped = share(random) < (bad ? 0.2 + 0.7 * learnt : 0.1);
    const int latency = static_cast<int>(400 + 1600 * (1 - learnt) * share(random));
    rows.push_back({bad ? "bad" : "good", escaped ? "Yes" : "No",
                    escaped ? std::to_string(latency) : "",
                    i == 0 ? "2024-03-21T09:00:30.000+01:00" : "", i == 0 ? "30.000" : ""});
  }
  return rows;
}

void Print(const char* what, const std::vector<double>& values) {
  std::printf("  %-44s median %.3f ms  p99 %.3f ms  max %.3f ms  (%zu)\n", what,
              orvane::bench::Percentile(values, 0.5), orvane::bench::Percentile(values, 0.99),
              orvane::bench::Percentile(values, 1.0), values.size());
}

// The charts drawn afresh and painted, as after a change of the trial axis.
void PaintAfresh(ProgressWindow& window) {
  window.Charts().replot(QCustomPlot::rpImmediateRefresh);
}

void LiveDrawing(const ProgressWindow::Setup& setup, const std::string& table, int trials) {
  const orvane::TrialTable rows = orvane::ReadTrialTable(table, "run");
  ProgressWindow window(setup);
  window.show();
  WaitFor(300);
  std::vector<double> per_trial;
  std::vector<double> first;
  std::vector<double> last;
  const double processor = ProcessorMilliseconds();
  for (std::size_t i = 0; i < rows.rows.size(); ++i) {
    const Clock::time_point start = Clock::now();
    window.AddTrial(rows.rows[i]);
    QCoreApplication::processEvents();
    per_trial.push_back(Milliseconds(Clock::now() - start));
    (i < 500 ? first : last).push_back(per_trial.back());
  }
  std::printf(
      "1. Live window, %d trials one at a time (AddTrial and a turn of the loop): processor %.3f ms"
      " per trial\n",
      trials, (ProcessorMilliseconds() - processor) / trials);
  Print("per trial", per_trial);
  Print("per trial, first 500", first);
  Print("per trial, after the first 500", last);
  std::vector<double> paints;
  for (int i = 0; i < 30; ++i) {
    const Clock::time_point start = Clock::now();
    PaintAfresh(window);
    QCoreApplication::processEvents();
    paints.push_back(Milliseconds(Clock::now() - start));
  }
  Print("then the whole charts painted afresh, each", paints);
}

void PastRun(const ProgressWindow::Setup& setup, const QString& file, int trials) {
  const double processor = ProcessorMilliseconds();
  const Clock::time_point start = Clock::now();
  ProgressWindow window(setup);
  const QFuture<void> shown = window.ShowRuns({file});
  while (!shown.isFinished()) {
    QCoreApplication::processEvents();
  }
  const Clock::time_point read = Clock::now();
  window.show();
  QCoreApplication::processEvents();
  const Clock::time_point painted = Clock::now();
  std::printf(
      "2. Past run of %d trials: read, counted and drawn %.1f ms; shown and painted %.1f ms"
      " more; processor %.1f ms in all (%zu problems)\n",
      trials, Milliseconds(read - start), Milliseconds(painted - read),
      ProcessorMilliseconds() - processor, static_cast<std::size_t>(window.Problems().size()));
}

struct TickFigures {
  std::vector<double> logged_row_tick;
  std::vector<double> plain_tick;
  // The loop's two turns after a tick that logged a row: the trial is drawn in the first and
  // painted in the second when the window is open. A tick falls due at the earliest after them.
  std::vector<double> turns_after_logged_row;
  std::vector<double> other_turns;
  int ticks = 0;
};

// `shown`: the rows the open Progress window shows before the run begins; none keeps it closed.
TickFigures TickRun(const std::string& songs, const std::string& journals, int trials,
                    const std::vector<orvane::TrialRow>* shown) {
  orvane::bench::ProgramWindow program(songs, journals);
  TForm1& window = program.window();
  window.show();
  WaitFor(300);
  Ui::TForm1& form = window.Controls();
  form.feedback_delay1->setValue(form.feedback_delay1->maximum());
  form.action_delayTb->setValue(0);
  form.puff_duration->setValue(0);
  program.BirdOnPerch();
  program.PickSongs();
  program.PressStart();
  // The ticks come from here, not from the clock.
  window.Timer1().Disable();
  if (shown != nullptr) {
    window.Progress().Show();
    for (const orvane::TrialRow& row : *shown) {
      window.Progress().Window()->AddTrial(row);
    }
  }
  QCoreApplication::processEvents();
  TickFigures figures;
  int turns_since_row = 2;
  while (program.LoggedRows() < trials) {
    const int rows = program.LoggedRows();
    const Clock::time_point start = Clock::now();
    window.Timer1Timer();
    const Clock::time_point ticked = Clock::now();
    QCoreApplication::processEvents();
    const Clock::time_point turned = Clock::now();
    ++figures.ticks;
    const bool logged = program.LoggedRows() != rows;
    (logged ? figures.logged_row_tick : figures.plain_tick).push_back(Milliseconds(ticked - start));
    turns_since_row = logged ? 0 : turns_since_row + 1;
    (turns_since_row < 2 ? figures.turns_after_logged_row : figures.other_turns)
        .push_back(Milliseconds(turned - ticked));
  }
  window.close();
  return figures;
}

// True unless --only names another part.
bool PartAsked(const QStringList& arguments, const QString& part) {
  const qsizetype at = arguments.indexOf("--only");
  return at < 0 || at + 1 >= arguments.size() || arguments[at + 1] == part;
}

int Run() {
  const QStringList arguments = QCoreApplication::arguments();
  const int trials = TrialsAsked(arguments);
  orvane::SetUpWindowFonts();
  const orvane::testing::TempFolder folder;
  const QString settings = QString::fromStdString(folder.Utf8() + "/settings.ini");
  const ProgressWindow::Setup setup{settings, QString::fromStdString(folder.Utf8())};
  const std::string table = orvane::testing::TrialTableText(LearningRun(trials));
  const QString file = QString::fromStdString(folder.Utf8() + "/run trials.tsv");
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly) ||
      out.write(table.data(), static_cast<qint64>(table.size())) < 0) {
    throw std::runtime_error("cannot write the run's table");
  }
  out.close();

  std::printf("Progress window, %d trials, blocks of 10 (platform %s, Qt %s)\n", trials,
              qPrintable(QGuiApplication::platformName()), qVersion());
  if (PartAsked(arguments, "live")) {
    LiveDrawing(setup, table, trials);
  }
  if (PartAsked(arguments, "past")) {
    PastRun(setup, file, trials);
  }
  if (!PartAsked(arguments, "ticks")) {
    return 0;
  }

  orvane::bench::WriteBenchSongs(folder.Utf8());
  const int more = std::max(1, trials / 10);
  const std::vector<orvane::TrialRow> shown = orvane::ReadTrialTable(table, "run").rows;
  std::printf("3. The main window's ticks, %d trials each, driven as fast as the loop turns\n",
              more);
  for (const bool open : {false, true}) {
    const TickFigures figures = TickRun(folder.Utf8(), folder.Utf8() + (open ? "/open" : "/closed"),
                                        more, open ? &shown : nullptr);
    std::printf(" Progress window %s, %d ticks:\n",
                open ? "open, showing the run of part 1 first" : "closed", figures.ticks);
    Print("tick that logs a row (Timer1Timer)", figures.logged_row_tick);
    Print("other ticks", figures.plain_tick);
    Print("loop's 2 turns after a logged row, each", figures.turns_after_logged_row);
    Print("loop's other turns", figures.other_turns);
  }
  std::printf("peak resident memory %.1f MiB\n",
              orvane::bench::Mebibytes(orvane::bench::PeakResidentBytes()));
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication app(argc, argv);
  try {
    return Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "progress benchmark failed: %s\n", error.what());
    return 1;
  }
}
