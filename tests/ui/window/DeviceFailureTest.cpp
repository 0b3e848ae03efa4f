#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "log/ClipboardText.h"
#include "tests/ui/window/WindowRig.h"
#include "ui/NumLab.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::kPuffOffWrite;
using testing::kPuffOnWrite;
using testing::LowOn;
using testing::WindowRig;

constexpr daq::int32 kUnknownDevice = -200220;
constexpr daq::int32 kLateRead = -200279;
constexpr daq::int32 kUnplugged = -50405;
constexpr int kTicks = 400;

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// What one tick left on the window.
struct TickShot {
  std::vector<std::string> writes;
  QColor puff;
  bool crossed = false;
  qsizetype boxes_before = 0;
  qsizetype boxes_when_it_returned = 0;
  qsizetype boxes_after_it = 0;
};

struct WindowRun {
  qsizetype boxes_while_building = 0;
  QStringList boxes;
  std::vector<TickShot> ticks;
  std::string log;
  std::vector<double> counters;
  bool still_ticking = false;
};

using BeforeOpen = std::function<void(testing::SimulatedDevice&)>;
using BeforeTick = std::function<void(WindowRig&, int tick)>;

// Bad songs only, the bird always on the perch, short delays and the highest odds, so that the
// run holds several trials. The handlers run straight from the test; posted events (the queued
// boxes) are delivered after each, timer events never, so every run ticks the same.
WindowRun RunExperiment(const BeforeOpen& before_open, const BeforeTick& before_tick) {
  WindowRig rig;
  if (before_open) {
    before_open(rig.device);
  }
  WindowRun run;
  TForm1& window = rig.Open();
  run.boxes_while_building = rig.exceptions.size();
  QCoreApplication::sendPostedEvents();
  window.show();
  rig.StartQuickBadTrials();
  const Ui::TForm1& form = rig.form();

  for (int tick = 1; tick <= kTicks; ++tick) {
    if (before_tick) {
      before_tick(rig, tick);
    }
    const std::size_t calls = rig.device.Calls().size();
    TickShot shot;
    shot.boxes_before = rig.exceptions.size();
    window.Timer1Timer();
    shot.boxes_when_it_returned = rig.exceptions.size();
    QCoreApplication::sendPostedEvents();
    shot.boxes_after_it = rig.exceptions.size();
    for (const std::string& call : rig.device.CallsFrom(calls)) {
      if (call.starts_with("DAQmxWriteDigitalLines")) {
        shot.writes.push_back(call);
      }
    }
    shot.puff = form.puff->BrushColor();
    shot.crossed = form.perch->Crossed();
    run.ticks.push_back(shot);
  }
  run.boxes = rig.exceptions;
  run.log = CopyText(form.report->table(), WholeLogRange(form.report->table()));
  run.counters = {form.bad_stay->Value(), form.bad_escape->Value(), form.good_stay->Value(),
                  form.good_escape->Value()};
  run.still_ticking = window.Timer1().IsEnabled();
  return run;
}

// The ticks on which the perch shape was crossed out.
std::vector<int> CrossedTicks(const WindowRun& run) {
  std::vector<int> ticks;
  for (std::size_t i = 0; i < run.ticks.size(); ++i) {
    if (run.ticks[i].crossed) {
      ticks.push_back(static_cast<int>(i) + 1);
    }
  }
  return ticks;
}

// Every fault: one box, shown after the handler that met it and never inside; the ticks go on,
// and the log and counters are those of the same run on a sound device.
TEST(DeviceFailure, EachFaultIsToldOnceAfterItsHandlerAndLogsNothingDifferently) {
  const WindowRun sound = RunExperiment(nullptr, nullptr);
  ASSERT_GE(sound.counters[0], 2) << "the run must hold several trials to compare";
  ASSERT_TRUE(sound.boxes.isEmpty());

  int first_off_write_failed = 0;
  struct Case {
    const char* name;
    BeforeOpen before_open;
    BeforeTick before_tick;
    std::string box;
    std::function<void(const WindowRun&)> check;
  };
  const Case cases[] = {
      {"an unknown device for the puffer",
       [](auto& device) { device.FailCalls("DAQmxCreateDOChan", kUnknownDevice); }, nullptr,
       "DAQmxCreateDOChan on Dev1/port0/line0:7 failed with status -200220: No device of that "
       "name",
       [](const WindowRun& run) {
         EXPECT_EQ(run.boxes_while_building, 0) << "shown once the window is up, not while built";
       }},
      {"the puffer task not starting",
       [](auto& device) { device.FailCalls("DAQmxStartTask", kUnknownDevice); }, nullptr,
       "DAQmxStartTask on Dev1/port0/line0:7 failed with status -200220", nullptr},
      {"reads failing for ten ticks", nullptr,
       [](WindowRig& rig, int tick) {
         if (tick == 30) {
           rig.device.FailCalls("DAQmxReadDigitalLines", kLateRead, 10);
         }
       },
       "The perch could not be read: DAQmxReadDigitalLines on Dev1/port2/line0:7 failed with "
       "status -200279",
       [](const WindowRun& run) {
         EXPECT_THAT(CrossedTicks(run), ElementsAre(30, 31, 32, 33, 34, 35, 36, 37, 38, 39));
         EXPECT_EQ(run.ticks[29].boxes_after_it, 1) << "told at the first failing read";
       }},
      {"a puff-off write failing twice", nullptr,
       [&first_off_write_failed](WindowRig& rig, int tick) {
         if (first_off_write_failed == 0 && rig.form().puff->BrushColor() == kRed) {
           rig.device.FailCalls("DAQmxWriteDigitalLines", kUnplugged, 2);
           first_off_write_failed = -1;
         } else if (first_off_write_failed == -1 && rig.device.Calls().back() == kPuffOffWrite) {
           first_off_write_failed = tick - 1;
         }
       },
       "The puffer could not be switched off: DAQmxWriteDigitalLines on Dev1/port0/line0:7 "
       "failed with status -50405: The simulated device is not connected any more.\n"
       "The off pattern is written again at every tick until it holds; the puffer shape stays "
       "red until then.",
       [&first_off_write_failed](const WindowRun& run) {
         ASSERT_GT(first_off_write_failed, 0);
         const auto at = [&](int tick) { return run.ticks[static_cast<std::size_t>(tick - 1)]; };
         const int failed = first_off_write_failed;
         // The failing write, then one more on each following tick until the third holds.
         for (int tick = failed; tick <= failed + 2; ++tick) {
           EXPECT_THAT(at(tick).writes, ElementsAre(kPuffOffWrite)) << "tick " << tick;
         }
         EXPECT_EQ(at(failed).puff, kRed);
         EXPECT_EQ(at(failed + 1).puff, kRed) << "red until the off pattern is really written";
         EXPECT_EQ(at(failed + 2).puff, kBlue);
         EXPECT_TRUE(at(failed + 3).writes.empty()) << "written again only while it is due";
         EXPECT_THAT(CrossedTicks(run), ElementsAre(failed, failed + 1));
       }},
      {"a puff-on write failing", nullptr,
       [](WindowRig& rig, int tick) {
         if (tick == 1) {
           rig.device.FailCalls("DAQmxWriteDigitalLines", kUnplugged, 1);
         }
       },
       "The puffer could not be switched on: DAQmxWriteDigitalLines on Dev1/port0/line0:7 failed "
       "with status -50405",
       [](const WindowRun& run) {
         for (const TickShot& shot : run.ticks) {
           if (!shot.writes.empty()) {
             EXPECT_EQ(shot.writes.front(), kPuffOnWrite);
             EXPECT_EQ(shot.puff, kBlue) << "the failed puff-on never turned it red";
             break;
           }
         }
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const WindowRun run = RunExperiment(c.before_open, c.before_tick);
    ASSERT_EQ(run.boxes.size(), 1) << run.boxes.join('\n').toStdString();
    EXPECT_THAT(run.boxes[0].toStdString(), HasSubstr(c.box));
    for (const TickShot& shot : run.ticks) {
      EXPECT_EQ(shot.boxes_when_it_returned, shot.boxes_before) << "no box inside a tick";
    }
    EXPECT_TRUE(run.still_ticking);
    EXPECT_EQ(run.log, sound.log);
    EXPECT_EQ(run.counters, sound.counters);
    if (c.check) {
      c.check(run);
    }
  }
}

// The box comes up from the event loop, not from inside the tick, so Timer1 keeps ticking while
// it is open: a box opened inside a timer's handler holds that timer until it is closed.
TEST(DeviceFailure, TheTicksGoOnWhileTheBoxIsOpen) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  Ui::TForm1& form = rig.form();
  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  int ticks_while_open = -1;
  rig.while_box_open = [&] {
    int ticks = 0;
    QEventLoop box;  // the modal box's own loop
    QObject::connect(&window.Timer1(), &TickTimer::tick, &box, [&] {
      if (++ticks == 3) {
        box.quit();
      }
    });
    QTimer::singleShot(5000, &box, &QEventLoop::quit);  // only so that a held timer ends the test
    box.exec();
    ticks_while_open = ticks;
  };
  rig.device.FailCalls("DAQmxReadDigitalLines", kLateRead, 1);
  QTest::mouseClick(form.Start, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks_while_open >= 0; }, 10000));
  EXPECT_EQ(ticks_while_open, 3);
  EXPECT_EQ(rig.exceptions.size(), 1);
  window.Timer1().Disable();
}

// Neither timer runs after a manual puff whose off write failed, so a guard of its own writes the
// off pattern until it holds.
TEST(DeviceFailure, AnOffPatternDueWhenNoTimerRunsIsWrittenByTheValveGuard) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  Ui::TForm1& form = rig.form();
  QTest::mouseClick(form.puffer, Qt::LeftButton);
  rig.device.FailCalls("DAQmxWriteDigitalLines", kUnplugged, 1);
  while (window.Timer2().IsEnabled()) {
    window.Timer2Timer();
  }
  EXPECT_EQ(form.puff->BrushColor(), kRed);
  EXPECT_TRUE(window.ValveGuard().IsEnabled());

  window.ValveGuardTimer();
  EXPECT_EQ(form.puff->BrushColor(), kBlue);
  EXPECT_FALSE(window.ValveGuard().IsEnabled());
  EXPECT_THAT(rig.DriverCalls("DAQmxWriteDigitalLines"),
              ElementsAre(kPuffOffWrite, kPuffOnWrite, kPuffOffWrite, kPuffOffWrite));
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(rig.exceptions.size(), 1);
}

// Closing while no off-write holds any more: the error box says that the valve may be open, and
// so does what outlives the program; the device is released all the same.
TEST(DeviceFailure, ClosingWhileTheOffPatternCannotBeWrittenSaysSo) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  QTest::mouseClick(rig.form().puffer, Qt::LeftButton);
  rig.device.FailCalls("DAQmxWriteDigitalLines", kUnplugged, 1000);
  window.close();

  const QString said =
      "The puffer could not be switched off: DAQmxWriteDigitalLines on Dev1/port0/line0:7 failed "
      "with status -50405: The simulated device is not connected any more. Check the valve.";
  EXPECT_EQ(rig.exceptions, QStringList{said});
  EXPECT_EQ(rig.end_faults, QStringList{said});
  EXPECT_EQ(rig.DriverCalls().back(), "DAQmxClearTask(task 1)");
}

}  // namespace
}  // namespace orvane
