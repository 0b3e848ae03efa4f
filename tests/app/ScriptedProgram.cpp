// The program as its entry point runs it, with a script in place of the experimenter, for tests
// that run it in a process of its own, read what it says and end it as the system would. Every
// error box is written out instead of shown, as "box <text>" with its line ends as \n.
//   scripted_orvane puff             a manual puff of five seconds; says "puffing" once it is on
//   scripted_orvane crash            the same, then a crash (SIGSEGV) while the valve is open
//   scripted_orvane double-free      the same, then a block freed twice on the window's thread:
//                                    the allocator aborts (SIGABRT) holding its lock
//   scripted_orvane overflow         the same, then a stack overflow on a thread of its own
//   scripted_orvane crash-twice      the same, then a crash (SIGSEGV) whose off-write takes a
//                                    second, during which another thread crashes (SIGFPE)
//   scripted_orvane every-tick <folder>
//                                    bad songs decided at every tick (puff delay 0) with puffs of
//                                    3 s, the bird on the perch; says "puffing" once one is on
//   scripted_orvane run <folder>     picks the folder's first song in both lists, presses Start
//                                    and waits, at Timer1's own pace, for a trial decided 3 s
//                                    after its song's start; says "rows 1" and "perch <colour>
//                                    <crossed|plain>", then closes the window
//   scripted_orvane trials <n> <folder>
//                                    bad songs with the bird on the perch, ticks driven as fast as
//                                    the loop turns; says "rows <k> events <e>" after each logged
//                                    trial (e: events recorded so far) and stops dead after the
//                                    n-th, to be killed
//   scripted_orvane heard <folder>   bad songs with the bird on the perch at Timer1's own pace;
//                                    says "trial <n>" as the n-th trial starts; after each logged
//                                    trial's puff phase it stops and says "rows <k>"; a line on
//                                    standard input starts it again, "stop" stops it and "close"
//                                    closes the window
//   scripted_orvane playing-puff <folder>
//                                    picks the folder's first song in both lists and plays the
//                                    bad one from its bar, then a manual puff of five seconds;
//                                    says "puffing" once both are on
#include <QApplication>
#include <QColor>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "app/OrvaneApplication.h"
#include "app/RunOrvane.h"
#include "playback/Errors.h"
#include "playback/view/FileListBox.h"
#include "tests/io/support/SimulatedDevice.h"
#include "ui/window/MainWindow.h"
#include "ui/window/RadioGroup.h"
#include "ui/window/Shape.h"
#include "ui_MainWindow.h"

namespace {

void Say(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

TForm1* ShownWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<TForm1*>(widget); window && window->isVisible()) {
      return window;
    }
  }
  return nullptr;
}

// Picks the folder's first song in both lists through their handlers. The sound side may still be
// finding its devices when the script starts, longer than a click waits for it: the pick is tried
// again, as an experimenter would click again, and any other failure is shown as a click's is.
void PickSongs(TForm1& window, const QString& folder) {
  Ui::TForm1& form = window.Controls();
  struct Kind {
    TFileListBox* list;
    orvane::MediaPlayer& player;
    void (TForm1::*click)();
  };
  const Kind kinds[] = {{form.bad_song_list, window.PlayBad(), &TForm1::bad_song_listClick},
                        {form.good_song_list, window.PlayGood(), &TForm1::good_song_listClick}};
  for (const Kind& kind : kinds) {
    kind.list->ApplyFilePath(folder.toStdString());
    kind.list->List().Select(0);
    kind.list->Refresh();
    for (int attempt = 0;; ++attempt) {
      try {
        (window.*kind.click)();
        break;
      } catch (const orvane::EMCIDeviceError& error) {
        if (kind.player.LastResult() != orvane::kNoAnswerResult || attempt == 300) {
          Say(QStringLiteral("box ") + error.what() + ".");
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    }
  }
}

// Bad songs only, the highest odds and short delays, so that trials come quickly.
void QuickBadTrials(Ui::TForm1& form) {
  form.precent_bad->SetItemIndex(0);
  form.feedback_delay1->setValue(form.feedback_delay1->maximum());
  form.action_delayTb->setValue(5);
  form.puff_duration->setValue(5);
}

int LoggedRows(const TForm1& window) {
  return window.Log().next_row() - 1;
}

// Calls `after` after each tick, the timer's own and those driven here as fast as the loop turns.
void DriveTicks(TForm1& window, std::function<void()> after) {
  const auto shared = std::make_shared<std::function<void()>>(std::move(after));
  QObject::connect(&window.Timer1(), &TickTimer::tick, &window, [shared] { (*shared)(); });
  auto* pump = new QTimer(&window);
  pump->setInterval(0);
  QObject::connect(pump, &QTimer::timeout, &window, [&window, shared] {
    window.Timer1Timer();
    (*shared)();
  });
  pump->start();
}

void Puff(TForm1& window) {
  Ui::TForm1& form = window.Controls();
  form.puff_duration->setValue(50);
  form.puffer->click();
  if (form.puff->BrushColor() == QColor(Qt::red)) {
    Say("puffing");
  }
}

// Neither a small block, which the allocator's cache of the thread would take, nor one mapped on
// its own: freed twice, it is caught inside the allocator while that holds its lock.
void FreeTwice() {
  char* volatile block = static_cast<char*>(std::malloc(4096));
  void* volatile after = std::malloc(4096);  // keeps the block from merging with the free top
  std::free(block);
  std::free(block);
  std::free(after);
}

volatile bool keep_recursing = true;

int Deeper(int depth) {
  volatile char room[1024];
  room[0] = static_cast<char>(depth);
  return keep_recursing ? Deeper(depth + 1) + room[0] : 0;
}

void Crash(TForm1& window, const QString& how) {
  Puff(window);
  if (how == QLatin1String("double-free")) {
    QTimer::singleShot(0, [] { FreeTwice(); });
  } else if (how == QLatin1String("overflow")) {
    std::thread([] { Deeper(0); }).detach();
  } else if (how == QLatin1String("crash-twice")) {
    orvane::testing::SimulatedDevice().SlowCalls("DAQmxWriteDigitalLines", 1000);
    std::thread([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      std::raise(SIGFPE);
    }).detach();
    QTimer::singleShot(0, [] { std::raise(SIGSEGV); });
  } else {
    QTimer::singleShot(0, [] { std::raise(SIGSEGV); });
  }
}

void RunEveryTick(TForm1& window, const QString& folder) {
  orvane::testing::SimulatedDevice device;
  device.ScriptRead(orvane::testing::LowOn({7}));
  PickSongs(window, folder);
  Ui::TForm1& form = window.Controls();
  form.precent_bad->SetItemIndex(0);
  form.feedback_delay1->setValue(form.feedback_delay1->maximum());
  form.action_delayTb->setValue(0);
  form.puff_duration->setValue(30);
  QObject::connect(&window.Timer1(), &TickTimer::tick, &window, [&form, said = false]() mutable {
    if (!said && form.puff->BrushColor() == QColor(Qt::red)) {
      said = true;
      Say("puffing");
    }
  });
  form.Start->click();
}

void RunOneTrial(TForm1& window, const QString& folder) {
  Ui::TForm1& form = window.Controls();
  PickSongs(window, folder);
  QuickBadTrials(form);
  // A sound server whose null output was idle takes a new song's first frames up to 2 s late.
  form.action_delayTb->setValue(30);
  form.Start->click();
  QObject::connect(&window.Timer1(), &TickTimer::tick, &window, [&window, said = false]() mutable {
    if (LoggedRows(window) == 1 && !said) {
      said = true;
      const Ui::TForm1& controls = window.Controls();
      Say("rows 1");
      Say(QStringLiteral("perch %1 %2")
              .arg(controls.perch->BrushColor() == QColor(Qt::yellow) ? "yellow" : "other",
                   controls.perch->Crossed() ? "crossed" : "plain"));
      window.close();
    }
  });
}

void RunHeardTrials(TForm1& window, const QString& folder) {
  orvane::testing::SimulatedDevice device;
  device.ScriptRead(orvane::testing::LowOn({7}));
  PickSongs(window, folder);
  QuickBadTrials(window.Controls());
  auto* go = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &window);
  QObject::connect(go, &QSocketNotifier::activated, &window, [&window] {
    char read_now[256];
    const ssize_t got = read(STDIN_FILENO, read_now, sizeof read_now);
    if (got <= 0) {
      return;
    }
    // Lines written one after another may come in one read.
    for (const QByteArray& line : QByteArray(read_now, got).split('\n')) {
      if (line == "close") {
        window.close();
      } else if (line == "stop") {
        window.Controls().Stop->click();
      } else if (!line.isEmpty()) {
        window.Controls().Start->click();
      }
    }
  });
  QObject::connect(&window.Timer1(), &TickTimer::tick, &window,
                   [&window, said = 0, started = 0, playing = false]() mutable {
                     const orvane::TrialController::State& state = window.Controller().state();
                     if (state.bad_playing && !playing) {
                       Say(QStringLiteral("trial %1").arg(++started));
                     }
                     playing = state.bad_playing;
                     const int rows = LoggedRows(window);
                     if (rows != said && !window.Controller().state().bad_playing) {
                       said = rows;
                       window.Controls().Stop->click();
                       Say(QStringLiteral("rows %1").arg(rows));
                     }
                   });
  window.Controls().Start->click();
}

void PlayAndPuff(TForm1& window, const QString& folder) {
  PickSongs(window, folder);
  window.PlayBad().Play();
  Puff(window);
}

void RunTrials(TForm1& window, int count, const QString& folder) {
  orvane::testing::SimulatedDevice device;
  device.ScriptRead(orvane::testing::LowOn({7}));
  PickSongs(window, folder);
  QuickBadTrials(window.Controls());
  window.Controls().Start->click();
  DriveTicks(window, [&window, count, said = 0]() mutable {
    const int rows = LoggedRows(window);
    if (rows == said) {
      return;
    }
    said = rows;
    Say(QStringLiteral("rows %1 events %2")
            .arg(rows)
            .arg(static_cast<qulonglong>(window.Record().Events().Events())));
    if (rows >= count) {
      // Stopped dead in the middle of the run, with the tick finished, until the test kills it.
      for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
      }
    }
  });
}

void Run(const QStringList& arguments) {
  TForm1* window = ShownWindow();
  if (window == nullptr) {
    QTimer::singleShot(10, [arguments] { Run(arguments); });
    return;
  }
  const QString script = arguments.value(1);
  if (script == QLatin1String("puff")) {
    Puff(*window);
  } else if (script == QLatin1String("crash") || script == QLatin1String("double-free") ||
             script == QLatin1String("overflow") || script == QLatin1String("crash-twice")) {
    Crash(*window, script);
  } else if (script == QLatin1String("every-tick")) {
    RunEveryTick(*window, arguments.value(2));
  } else if (script == QLatin1String("run")) {
    RunOneTrial(*window, arguments.value(2));
  } else if (script == QLatin1String("trials")) {
    RunTrials(*window, arguments.value(2).toInt(), arguments.value(3));
  } else if (script == QLatin1String("heard")) {
    RunHeardTrials(*window, arguments.value(2));
  } else if (script == QLatin1String("playing-puff")) {
    PlayAndPuff(*window, arguments.value(2));
  } else {
    Say("unknown script " + script);
    window->close();
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication app(argc, argv);
  app.SetErrorBox([](const QString&, const QString& text) {
    Say(QStringLiteral("box ") + QString(text).replace(QLatin1Char('\n'), QLatin1String("\\n")));
  });
  const QStringList arguments = app.arguments();
  QTimer::singleShot(0, [arguments] { Run(arguments); });
  return orvane::RunOrvane(app);
}
