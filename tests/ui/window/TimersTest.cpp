#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QtTest/QTest>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "log/ClipboardText.h"
#include "tests/support/TabSeparated.h"
#include "tests/ui/window/WindowRig.h"
#include "ui/NumLab.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

using std::chrono::milliseconds;
using ::testing::ElementsAre;
using testing::kPuffOffWrite;
using testing::WindowRig;

// Runs the event loop, doing `meanwhile` every few milliseconds, until `done` holds; false when a
// generous bound runs out first. What ran is checked, never how long it took.
bool RunEventsUntil(const std::function<bool()>& done, const std::function<void()>& meanwhile) {
  const QDeadlineTimer bound(20000);
  while (!done()) {
    if (bound.hasExpired()) {
      return false;
    }
    meanwhile();
    QTest::qWait(5);
  }
  return true;
}

TEST(Timers, EachTicksItsOwnHandlerAndAnEnabledOneKeepsItsPhase) {
  WindowRig rig;
  TForm1& window = rig.Open();
  Ui::TForm1& form = rig.form();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.Timer1().Interval(), 100);
  EXPECT_EQ(window.Timer2().Interval(), 100);
  auto perch_reads = [&rig] { return rig.DriverCalls("DAQmxReadDigitalLines").size(); };

  // Timer2 alone: its ticks end the manual puff, clicked again and again on the way, and read
  // no perch.
  form.puff_duration->setValue(3);
  QTest::mouseClick(form.puffer, Qt::LeftButton);
  ASSERT_TRUE(
      RunEventsUntil([&] { return !window.Timer2().IsEnabled(); }, [&] { window.pufferClick(); }));
  EXPECT_EQ(rig.DriverCalls("DAQmxWriteDigitalLines").back(), kPuffOffWrite);
  EXPECT_EQ(perch_reads(), 0u);

  // Timer1, with Start clicked again and again far more often than its period: it still ticks.
  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  QTest::mouseClick(form.Start, Qt::LeftButton);
  const std::size_t writes = rig.DriverCalls("DAQmxWriteDigitalLines").size();
  ASSERT_TRUE(RunEventsUntil([&] { return perch_reads() >= 3; }, [&] { window.StartClick(); }));
  EXPECT_FALSE(window.Timer2().IsEnabled());
  EXPECT_EQ(rig.DriverCalls("DAQmxWriteDigitalLines").size(), writes) << "no manual puff ticks";
}

struct StalledTicks {
  std::size_t perch_reads_in_the_burst = 0;
  std::int32_t trial_ticks_in_the_burst = 0;
  std::string state;  // the controller's, after the run
  std::string log;
  std::vector<double> counters;
  std::vector<std::string> stalls;  // the event log's
};

std::string Describe(const TrialController::State& state) {
  return std::to_string(state.perch_occupied) + std::to_string(state.good_playing) +
         std::to_string(state.bad_playing) + std::to_string(state.puff_phase) +
         std::to_string(state.puff_off_due) + " " + std::to_string(state.trial_ticks) + " " +
         std::to_string(state.puff_ticks);
}

// Quick bad-song trials, every tick an expiry of Timer1 on a clock moved by hand: every 100 ms
// until a song has started, then a stall of three seconds that `burst` expiries end back to back,
// as a system's timer may deliver the periods it missed, then 60 more every 100 ms.
StalledTicks RunWithAStall(int burst) {
  WindowRig rig;
  TForm1& window = rig.Open();
  Ui::TForm1& form = rig.form();
  rig.clock.Hold();
  rig.StartQuickBadTrials();
  const auto expire = [&](milliseconds after) {
    rig.clock.Advance(after);
    window.Timer1().Expire();
    QCoreApplication::sendPostedEvents();
  };
  for (int ticks = 0; ticks < 200 && !window.Controller().state().bad_playing; ++ticks) {
    expire(milliseconds(100));
  }
  EXPECT_TRUE(window.Controller().state().bad_playing);

  StalledTicks run;
  const std::size_t reads = rig.DriverCalls("DAQmxReadDigitalLines").size();
  const std::int32_t trial_ticks = window.Controller().state().trial_ticks;
  expire(milliseconds(3000));
  for (int expiry = 1; expiry < burst; ++expiry) {
    expire(milliseconds(0));
  }
  run.perch_reads_in_the_burst = rig.DriverCalls("DAQmxReadDigitalLines").size() - reads;
  run.trial_ticks_in_the_burst = window.Controller().state().trial_ticks - trial_ticks;

  for (int ticks = 0; ticks < 60; ++ticks) {
    expire(milliseconds(100));
  }
  run.state = Describe(window.Controller().state());
  run.log = CopyText(form.report->table(), WholeLogRange(form.report->table()));
  run.counters = {form.bad_stay->Value(), form.bad_escape->Value()};
  for (const auto& row : testing::ReadTabSeparated(window.Record().Events().Path()).rows) {
    if (row.size() == 4 && row[2] == "tick_stall") {
      run.stalls.push_back(row[3]);
    }
  }
  return run;
}

// A stall of three seconds in the middle of a trial, ended by thirty expiries back to back: the
// controller counts one tick for them, and the run goes on exactly as where the system's timer
// skipped the missed periods; the event log names the stall and the ticks it cost.
TEST(Timers, ExpiriesThatComeBackToBackAfterAStallCountAsOneTick) {
  const StalledTicks burst = RunWithAStall(30);
  const StalledTicks skipped = RunWithAStall(1);

  EXPECT_EQ(burst.perch_reads_in_the_burst, 1u);
  EXPECT_EQ(burst.trial_ticks_in_the_burst, 1);
  EXPECT_EQ(burst.state, skipped.state);
  EXPECT_EQ(burst.log, skipped.log);
  EXPECT_EQ(burst.counters, skipped.counters);
  EXPECT_GT(burst.counters[0], 0) << "trials were decided after the stall";
  EXPECT_THAT(burst.stalls, ElementsAre(::testing::StartsWith("timer=trial; gap_ms=3000; "
                                                              "ticks_dropped=29; tick=")));
  EXPECT_EQ(burst.stalls, skipped.stalls);
}

}  // namespace
}  // namespace orvane
