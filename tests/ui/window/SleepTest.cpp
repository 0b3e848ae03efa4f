// The machine's power around a run: kept awake from Start to Stop or close, the valve closed
// before the machine sleeps, and the sleep told after the wake.
#include <QCoreApplication>
#include <QtTest/QTest>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/TabSeparated.h"
#include "tests/ui/window/WindowRig.h"
#include "ui/window/Shape.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::kPuffOffWrite;
using ::testing::StartsWith;
using testing::WindowRig;

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// The run's events named in `names`, as "event<TAB>details".
std::vector<std::string> Events(const TForm1& window, const std::vector<std::string>& names) {
  std::vector<std::string> found;
  for (const auto& row : testing::ReadTabSeparated(window.Record().Events().Path()).rows) {
    if (row.size() == 4 && std::find(names.begin(), names.end(), row[2]) != names.end()) {
      found.push_back(row[2] + "\t" + row[3]);
    }
  }
  return found;
}

TEST(Sleep, TheMachineIsKeptAwakeFromStartToStopOrCloseAndARefusalIsToldOnce) {
  WindowRig rig;
  rig.power.refusal = "Windows did not accept the request to keep it awake";
  TForm1& window = rig.Open();
  Ui::TForm1& form = rig.form();

  QTest::mouseClick(form.Start, Qt::LeftButton);  // refused: no songs picked
  EXPECT_THAT(rig.power.requests, IsEmpty());

  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  for (QWidget* button : {form.Start, form.Start, form.Stop, form.Stop, form.Start}) {
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
  }
  EXPECT_THAT(rig.power.requests, ElementsAre("stay awake", "allow sleep", "stay awake"));
  window.close();
  EXPECT_THAT(rig.power.requests,
              ElementsAre("stay awake", "allow sleep", "stay awake", "allow sleep"));
  EXPECT_THAT(rig.exceptions,
              ElementsAre("This computer may go to sleep during the run: Windows did not accept "
                          "the request to keep it awake. Set it not to sleep by itself while an "
                          "experiment runs."));
}

// The notice of the machine's sleep comes during a trial's puff: the valve is closed before the
// notice returns; after the wake one notice says how long it slept and the run goes on.
TEST(Sleep, ASleepDuringAPuffClosesTheValveFirstAndTheWakeIsToldOnce) {
  WindowRig rig;
  TForm1& window = rig.Open();
  Ui::TForm1& form = rig.form();
  rig.StartQuickBadTrials();
  for (int ticks = 0; ticks < 200 && form.puff->BrushColor() != kRed; ++ticks) {
    rig.Tick();
  }
  ASSERT_EQ(form.puff->BrushColor(), kRed);

  const std::size_t before = rig.device.Calls().size();
  rig.power.listener.sleeps();
  EXPECT_THAT(rig.device.CallsFrom(before), ElementsAre(kPuffOffWrite));
  EXPECT_EQ(form.puff->BrushColor(), kBlue);

  rig.power.listener.woke(std::chrono::milliseconds(3725400));
  QCoreApplication::sendPostedEvents();
  EXPECT_THAT(rig.exceptions, ElementsAre("The computer slept for 1 h 2 min 5 s. The puffer was "
                                          "switched off before it went to sleep; the run goes "
                                          "on."));
  const int rows = rig.DecidedTrials();
  EXPECT_TRUE(rig.TickUntilDecided(rows + 1));

  std::vector<std::string> events = Events(window, {"sleep", "wake", "puff_off"});
  const auto slept = std::find_if(events.begin(), events.end(), [](const std::string& event) {
    return event.starts_with("sleep");
  });
  ASSERT_LE(3, events.end() - slept);
  EXPECT_THAT(std::vector<std::string>(slept, slept + 3),
              ElementsAre(StartsWith("sleep\ttick="),
                          StartsWith("puff_off\tby=sleep; held=1; status=0; tick="),
                          StartsWith("wake\tslept_ms=3725400; tick=")));
}

}  // namespace
}  // namespace orvane
