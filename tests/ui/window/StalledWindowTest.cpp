// The puff's deadline, which closes the valve when the window's thread stops answering and never
// acts while it answers.
#include <QCoreApplication>
#include <QTimer>
#include <QtTest/QTest>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
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
using ::testing::IsEmpty;
using testing::kPuffOffWrite;
using testing::kPuffOnWrite;
using testing::LowOn;
using ::testing::MatchesRegex;
using testing::WindowRig;

constexpr daq::int32 kUnplugged = -50405;
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

std::vector<std::string> Writes(const std::vector<std::string>& calls) {
  std::vector<std::string> writes;
  for (const std::string& call : calls) {
    if (call.starts_with("DAQmxWriteDigitalLines")) {
      writes.push_back(call);
    }
  }
  return writes;
}

struct StalledRun {
  std::vector<std::string> writes_while_blocked;
  QColor puff_while_blocked;
  QColor puff_after_a_tick;
  std::vector<std::string> writes_after;
  QStringList boxes;
  std::string log;
  std::vector<double> counters;
};

// A run of trials, or of one manual puff, whose handlers are called straight from the test, so
// that the test's own thread is the window's. With `block`, that thread sleeps for five seconds
// right after the puff was switched on, and the deadline's first off-write fails.
StalledRun RunWithPuff(bool manual, bool block) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  Ui::TForm1& form = rig.form();
  const auto tick = [&] {
    if (manual) {
      window.Timer2Timer();
    } else {
      window.Timer1Timer();
    }
    QCoreApplication::sendPostedEvents();  // the boxes come up after the tick
  };
  if (manual) {
    form.puff_duration->setValue(5);
    QTest::mouseClick(form.puffer, Qt::LeftButton);
  } else {
    rig.StartQuickBadTrials();
    for (int ticks = 0; ticks < 100 && form.puff->BrushColor() != kRed; ++ticks) {
      tick();
    }
  }
  EXPECT_EQ(form.puff->BrushColor(), kRed);

  StalledRun run;
  const std::size_t before = rig.device.Calls().size();
  if (block) {
    rig.device.FailCalls("DAQmxWriteDigitalLines", kUnplugged, 1);
    std::this_thread::sleep_for(std::chrono::seconds(5));
  }
  run.writes_while_blocked = Writes(rig.device.CallsFrom(before));
  run.puff_while_blocked = form.puff->BrushColor();

  const std::size_t after = rig.device.Calls().size();
  tick();
  run.puff_after_a_tick = form.puff->BrushColor();
  for (int ticks = 1; ticks < 30; ++ticks) {
    tick();
  }
  run.writes_after = Writes(rig.device.CallsFrom(after));
  run.boxes = rig.exceptions;
  run.log = CopyText(form.report->table(), WholeLogRange(form.report->table()));
  run.counters = {form.bad_stay->Value(), form.bad_escape->Value(), form.good_stay->Value(),
                  form.good_escape->Value()};
  EXPECT_EQ(window.Lines().Deadline().Closures(), block ? 1 : 0);
  return run;
}

// The window's thread blocked during a puff, by a trial or by hand: the off pattern is written by
// the deadline's thread while it is blocked, again until it holds and no more; the notice comes
// after the thread answers again, and the experiment logs and counts what it would have.
TEST(StalledWindow, WhileTheWindowsThreadIsBlockedThePuffEndsAtItsDeadlineAndIsToldAfter) {
  for (const bool manual : {false, true}) {
    SCOPED_TRACE(manual ? "manual puff" : "trial puff");
    const StalledRun free = RunWithPuff(manual, false);
    const StalledRun stalled = RunWithPuff(manual, true);

    EXPECT_THAT(free.writes_while_blocked, IsEmpty());
    EXPECT_THAT(stalled.writes_while_blocked, ElementsAre(kPuffOffWrite, kPuffOffWrite))
        << "a failed write, then one that held";
    EXPECT_EQ(stalled.puff_while_blocked, kRed) << "the window has not run yet";
    EXPECT_EQ(stalled.puff_after_a_tick, kBlue) << "it shows what was written meanwhile";
    EXPECT_EQ(free.puff_after_a_tick, kRed);
    ASSERT_EQ(stalled.boxes.size(), 1) << stalled.boxes.join('\n').toStdString();
    EXPECT_THAT(stalled.boxes[0].toStdString(),
                MatchesRegex("The window was not answering for .+ s; the puffer was "
                             "switched off .+ s after its set time\\."));
    EXPECT_THAT(free.boxes, IsEmpty());
    // The controller's own off-write at the end of the puff still comes, harmless.
    EXPECT_EQ(stalled.writes_after, free.writes_after);
    EXPECT_EQ(stalled.log, free.log);
    EXPECT_EQ(stalled.counters, free.counters);
  }
}

// The deadline's off-write is slow, and the window answers while the driver makes it: a new puff
// by hand right then comes after it, and the closure is told with the beat that waited for it,
// never credited to the new puff, whose shape stays red.
TEST(StalledWindow, ADeadlinesSlowOffWriteIsNeverCreditedToTheNextPuff) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  Ui::TForm1& form = rig.form();
  form.puff_duration->setValue(5);
  QTest::mouseClick(form.puffer, Qt::LeftButton);
  ASSERT_EQ(form.puff->BrushColor(), kRed);
  const std::size_t before = rig.device.Calls().size();
  rig.device.SlowCalls("DAQmxWriteDigitalLines", 300);
  // Silent until the deadline's thread is inside its off-write.
  for (int wait = 0; wait < 1000 && Writes(rig.device.CallsFrom(before)).empty(); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_THAT(Writes(rig.device.CallsFrom(before)), ElementsAre(kPuffOffWrite));

  QTest::mouseClick(form.puffer, Qt::LeftButton);
  EXPECT_EQ(form.puff->BrushColor(), kRed);
  window.Timer2Timer();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(form.puff->BrushColor(), kRed) << "the closure was told before the new puff";
  EXPECT_THAT(Writes(rig.device.CallsFrom(before)), ElementsAre(kPuffOffWrite, kPuffOnWrite));
  ASSERT_EQ(rig.exceptions.size(), 1);
  EXPECT_THAT(rig.exceptions[0].toStdString(), ::testing::HasSubstr("switched off"));
}

// 300 ticks of trials in real time, with a Stop in the middle of a puff that holds the valve open
// well past the puff's deadline, a puff lengthened while it runs, and a manual puff: the deadline
// never acts, and the valve is never closed while stopped.
TEST(StalledWindow, InANormalRunTheDeadlineNeverActs) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  Ui::TForm1& form = rig.form();
  rig.StartQuickBadTrials();

  int ticks = 0;
  int puffs_seen = 0;
  bool was_red = false;
  bool lengthened = false;
  std::size_t stopped_at = 0;
  std::vector<std::string> writes_while_stopped;
  QObject::connect(&window.Timer1(), &TickTimer::tick, &window, [&] {
    ++ticks;
    const bool red = form.puff->BrushColor() == kRed;
    if (red && !was_red) {
      ++puffs_seen;
      if (puffs_seen == 1) {
        QTest::mouseClick(form.Stop, Qt::LeftButton);
        stopped_at = rig.device.Calls().size();
        QTimer::singleShot(2000, &window, [&] {
          writes_while_stopped = Writes(rig.device.CallsFrom(stopped_at));
          QTest::mouseClick(form.Start, Qt::LeftButton);
        });
      } else if (puffs_seen == 2) {
        form.puff_duration->setValue(25);
        lengthened = true;
      }
    } else if (!red && was_red) {
      form.puff_duration->setValue(5);
    }
    if (ticks == 200) {
      form.puff_duration->setValue(20);
      QTest::mouseClick(form.puffer, Qt::LeftButton);
    }
    was_red = red;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 300; }, 120000));
  window.Timer1().Disable();

  ASSERT_GT(stopped_at, 0u);
  ASSERT_TRUE(lengthened);
  EXPECT_THAT(writes_while_stopped, IsEmpty()) << "Stop leaves the valve open";
  EXPECT_EQ(window.Lines().Deadline().Closures(), 0);
  EXPECT_THAT(rig.exceptions, IsEmpty()) << rig.exceptions.join('\n').toStdString();
}

}  // namespace
}  // namespace orvane
