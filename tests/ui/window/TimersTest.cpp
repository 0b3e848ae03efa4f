#include <QDeadlineTimer>
#include <QtTest/QTest>

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/ui/window/WindowRig.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

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

}  // namespace
}  // namespace orvane
