#include <QtTest/QTest>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/ui/window/WindowRig.h"
#include "ui/NumLab.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using testing::kPuffOffWrite;
using testing::kPuffOnWrite;
using testing::LowOn;
using testing::WindowRig;

const std::vector<std::string> kReleaseCalls = {"DAQmxStopTask(task 2)", "DAQmxStopTask(task 1)",
                                                "DAQmxClearTask(task 2)", "DAQmxClearTask(task 1)"};

TEST(Experiment, ABadSongTrialRunsThroughTheWindowFromStartToClose) {
  WindowRig rig;
  TForm1& window = rig.Open();
  Ui::TForm1& form = rig.form();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  EXPECT_TRUE(form.play_bad->isEnabled());
  EXPECT_TRUE(form.play_good->isEnabled());
  WindowRig::PickItem(*form.precent_bad, 0);  // "0%": every trial plays the bad song
  rig.device.ScriptRead(LowOn({7}));          // the bird sits on the perch from now on

  QTest::mouseClick(form.Start, Qt::LeftButton);
  EXPECT_TRUE(window.Timer1().IsEnabled());
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0xC0, 0xDC, 0xC0));

  const std::size_t before = rig.device.Calls().size();
  ASSERT_TRUE(rig.TickUntilDecided(1));
  EXPECT_EQ(form.bad_song_list->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(form.perch->BrushColor(), QColor(255, 255, 0));
  EXPECT_EQ(form.puff->BrushColor(), QColor(255, 0, 0));
  EXPECT_TRUE(window.PlayBad().IsOpen());
  EXPECT_GT(window.PlayBad().Length(), 0);
  rig.Tick(10);  // the puff phase: one second
  EXPECT_EQ(form.puff->BrushColor(), QColor(0, 0, 255));
  std::vector<std::string> writes;
  for (const std::string& call : rig.device.CallsFrom(before)) {
    if (call.starts_with("DAQmxWriteDigitalLines")) {
      writes.push_back(call);
    }
  }
  EXPECT_THAT(writes, ElementsAre(kPuffOnWrite, kPuffOffWrite));

  const ReportTable& table = form.report->table();
  EXPECT_EQ(table.GetNrRows(), 5);
  EXPECT_EQ(table.GetElem(2, 1), "bad");
  EXPECT_EQ(table.GetElem(3, 1), "No");
  EXPECT_EQ(form.bad_stay->Value(), 1);
  EXPECT_EQ(form.bad_escape->Value(), 0);
  EXPECT_EQ(form.good_stay->Value(), 0);
  EXPECT_EQ(form.good_escape->Value(), 0);
  EXPECT_EQ(form.bad_stay->ShownText(), "1");

  QTest::mouseClick(form.copy, Qt::LeftButton);
  const std::string stamp(table.GetElem(1, 1));
  EXPECT_FALSE(stamp.empty());
  EXPECT_THAT(rig.clipboard.texts,
              ElementsAre("Time\tSong\tEscaped\t\t\n\n" + stamp +
                          "\tbad\tNo\t\t\n\t\t\t\t\n\t\t\t\t\n\t\t\t\t\n\t\t\t\t\n"));

  QTest::mouseClick(form.Stop, Qt::LeftButton);
  EXPECT_FALSE(window.Timer1().IsEnabled());
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));

  const std::size_t before_close = rig.device.Calls().size();
  EXPECT_TRUE(window.close());
  std::vector<std::string> closing = {kPuffOffWrite};
  closing.insert(closing.end(), kReleaseCalls.begin(), kReleaseCalls.end());
  EXPECT_EQ(rig.device.CallsFrom(before_close), closing);
  EXPECT_TRUE(rig.messages.isEmpty());
  EXPECT_TRUE(rig.exceptions.isEmpty()) << rig.exceptions.join('\n').toStdString();
}

TEST(Experiment, TheWindowOpensThePufferTaskWithTheValveClosedBeforeThePerchTask) {
  WindowRig rig;
  rig.Open();
  EXPECT_THAT(rig.device.Calls(),
              ElementsAre("DAQmxCreateTask(\"\", ptr)",
                          "DAQmxCreateDOChan(task 1, \"Dev1/port0/line0:7\", \"\", 1)",
                          "DAQmxStartTask(task 1)", kPuffOffWrite, "DAQmxCreateTask(\"\", ptr)",
                          "DAQmxCreateDIChan(task 2, \"Dev1/port2/line0:7\", \"\", 1)",
                          "DAQmxStartTask(task 2)",
                          "DAQmxCreateWatchdogTimerTaskEx(\"Dev1\", \"\", ptr, 1)"));
  EXPECT_EQ(rig.form().puff->BrushColor(), QColor(0, 0, 255));
}

TEST(Experiment, ClosingInTheMiddleOfAPuffClosesTheValveReleasesTheTasksAndStopsTheTicks) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  window.Timer1().Enable();  // as Start leaves it
  QTest::mouseClick(rig.form().puffer, Qt::LeftButton);
  EXPECT_TRUE(window.Timer2().IsEnabled());
  window.Timer2Timer();
  EXPECT_EQ(rig.DriverCalls("DAQmxWriteDigitalLines").back(), kPuffOnWrite);

  const std::size_t before_close = rig.device.Calls().size();
  window.close();
  std::vector<std::string> closing = {kPuffOffWrite};
  closing.insert(closing.end(), kReleaseCalls.begin(), kReleaseCalls.end());
  EXPECT_EQ(rig.device.CallsFrom(before_close), closing);
  EXPECT_EQ(rig.form().puff->BrushColor(), QColor(0, 0, 255));
  // A tick due before the program ends would read or write a task already cleared.
  EXPECT_FALSE(window.Timer1().IsEnabled());
  EXPECT_FALSE(window.Timer2().IsEnabled());
}

TEST(Experiment, StartIsRefusedUntilASongIsPickedInBothLists) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  Ui::TForm1& form = rig.form();

  QTest::mouseClick(form.Start, Qt::LeftButton);
  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  QTest::mouseClick(form.Start, Qt::LeftButton);
  EXPECT_EQ(rig.messages, QStringList({"You must select songs before starting",
                                       "You must select songs before starting"}));
  EXPECT_FALSE(window.Timer1().IsEnabled());
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));

  rig.ClickSong(*form.good_song_list, "calm.wav");
  QTest::mouseClick(form.Start, Qt::LeftButton);
  EXPECT_EQ(rig.messages.size(), 2);
  EXPECT_TRUE(window.Timer1().IsEnabled());
}

}  // namespace
}  // namespace orvane
