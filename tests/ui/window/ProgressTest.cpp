#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QtTest/QTest>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "progress/TrialTableReader.h"
#include "progress/view/ProgressCharts.h"
#include "progress/view/ProgressWindow.h"
#include "tests/progress/ChartPoints.h"
#include "tests/support/TabSeparated.h"
#include "tests/ui/window/WindowRig.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::LowOn;
using ::testing::Pair;
using testing::PointsOf;
using testing::WindowRig;
using testing::Xs;

// A run of both songs in turn at the highest odds and short delays, in which the bird leaves the
// perch through every third trial. Between ticks the loop hands out what was posted to it, as the
// program's loop does; the ticks themselves are driven here, not by the clock.
struct ScriptedRun {
  int ticks = 0;
  std::vector<std::string> driver_calls;
};

void StartQuickTrials(WindowRig& rig) {
  TForm1& window = rig.window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  Ui::TForm1& form = rig.form();
  form.feedback_delay1->setValue(form.feedback_delay1->maximum());
  form.action_delayTb->setValue(5);
  // A puff shorter than the delay, so each song plays some ticks before its decision.
  form.puff_duration->setValue(1);
  WindowRig::PickItem(*form.song_selection, 1);  // serial: runs of each kind in turn
  form.serial_tb->setValue(form.serial_tb->minimum());
  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  rig.device.ScriptRead(LowOn({7}));
  QTest::mouseClick(form.Start, Qt::LeftButton);
  window.Timer1().Disable();  // ticked by hand from here on
}

// Ticks until `trials` are decided; `between` runs after each tick, before the loop turns.
ScriptedRun TickTrials(WindowRig& rig, int trials, const std::function<void()>& between = {}) {
  ScriptedRun run;
  const TrialController::State& state = rig.window().Controller().state();
  for (; run.ticks < 5000 && rig.DecidedTrials() < trials; ++run.ticks) {
    const bool leaves = (state.good_playing || state.bad_playing) && !state.puff_phase &&
                        (rig.DecidedTrials() + 1) % 3 == 0;
    rig.device.ScriptRead(leaves ? LowOn({}) : LowOn({7}));
    rig.Tick();
    if (between) {
      between();
    }
    QCoreApplication::sendPostedEvents();
  }
  run.driver_calls = rig.DriverCalls("DAQmx");
  return run;
}

struct Expected {
  std::vector<QPointF> rate;
  std::vector<QPointF> so_far;  // the block in progress, when it has the kind
  std::vector<double> stays;
  std::vector<QPointF> latencies;
};

// What the charts must show of one kind, worked out from the table's rows afresh: blocks of
// `block_size` rows, each row one song decided once.
Expected ExpectedFor(const std::vector<TrialRow>& rows, SongKind kind, int block_size) {
  Expected expected;
  int of_kind = 0;
  int escaped = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const double trial = static_cast<double>(i + 1);
    if (rows[i].kind == kind) {
      ++of_kind;
      escaped += rows[i].escaped ? 1 : 0;
      if (!rows[i].escaped) {
        expected.stays.push_back(trial);
      } else if (rows[i].latency_ms) {
        expected.latencies.emplace_back(trial, *rows[i].latency_ms);
      }
    }
    const bool block_end = (i + 1) % static_cast<std::size_t>(block_size) == 0;
    if ((block_end || i + 1 == rows.size()) && of_kind > 0) {
      (block_end ? expected.rate : expected.so_far).emplace_back(trial, 100.0 * escaped / of_kind);
    }
    if (block_end) {
      of_kind = 0;
      escaped = 0;
    }
  }
  return expected;
}

// Opened with Ctrl+G, closed in the middle of the run and opened again from the log table's menu,
// the window ends up with every trial of the run's trial table drawn as the file has it, and the
// run ticks exactly as it does with no window at all.
TEST(Progress, FollowsEachLoggedTrialAfterTheTickAndNeverTouchesTheExperiment) {
  constexpr int kTrials = 23;
  ScriptedRun without_window;
  {
    WindowRig rig;
    rig.Open();
    StartQuickTrials(rig);
    without_window = TickTrials(rig, kTrials);
    EXPECT_EQ(rig.window().Progress().Window(), nullptr);
  }

  WindowRig rig;
  TForm1& window = rig.Open();
  StartQuickTrials(rig);
  QTest::keyClick(&window, Qt::Key_G, Qt::ControlModifier);
  ProgressWindow* progress = window.Progress().Window();
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(progress->isVisible());
  int drawn_inside_a_tick = 0;
  int lost = 0;
  int drawn_before = 0;
  const ScriptedRun with_window = TickTrials(rig, kTrials, [&] {
    // A trial logged by this tick waits for the loop's next turn.
    const int drawn = progress->Plot().Decisions();
    drawn_inside_a_tick += drawn != drawn_before ? 1 : 0;
    lost += drawn + static_cast<int>(progress->TrialsWaiting()) != rig.DecidedTrials() ? 1 : 0;
    // Closing it leaves the run going: the ticks and the device's calls stay those of the run
    // without it.
    if (rig.DecidedTrials() == 10 && progress->isVisible()) {
      progress->close();
    }
    QCoreApplication::sendPostedEvents();
    drawn_before = progress->Plot().Decisions();
  });
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(drawn_inside_a_tick, 0);
  EXPECT_EQ(with_window.ticks, without_window.ticks);
  EXPECT_EQ(with_window.driver_calls, without_window.driver_calls);

  QAction& show = window.Progress().ShowAction();
  EXPECT_EQ(show.text(), "Show progress…");
  EXPECT_EQ(show.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
  EXPECT_TRUE(rig.form().report->actions().contains(&show));
  EXPECT_EQ(rig.form().report->contextMenuPolicy(), Qt::ActionsContextMenu);
  show.trigger();
  EXPECT_EQ(window.Progress().Window(), progress) << "the same window, shown again";
  EXPECT_TRUE(progress->isVisible());

  const TrialTable table = LoadTrialTable(window.Record().Table().Path());
  EXPECT_THAT(table.problems, ::testing::IsEmpty());
  const std::vector<TrialRow>& rows = table.rows;
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kTrials));
  const QCPAxisRect& rate = progress->Charts().RateChart();
  const QCPAxisRect& latency = progress->Charts().LatencyChart();
  for (const SongKind kind : {kBadSong, kNeutralSong}) {
    const QString name = kind == kBadSong ? "Bad song" : "Neutral song";
    const Expected expected = ExpectedFor(rows, kind, progress->BlockSize());
    ASSERT_EQ(expected.rate.size(), 2u) << "both kinds in both complete blocks";
    EXPECT_THAT(PointsOf(rate, name), ElementsAreArray(expected.rate)) << name.toStdString();
    // Drawn from the last complete block on, when that block had the kind; the run goes on.
    std::vector<QPointF> so_far = PointsOf(rate, name + ", block so far");
    so_far.erase(so_far.begin(), so_far.end() - std::min<std::ptrdiff_t>(so_far.size(), 1));
    EXPECT_EQ(so_far, expected.so_far);
    EXPECT_THAT(Xs(PointsOf(latency, name + ", stayed")), ElementsAreArray(expected.stays));
    EXPECT_FALSE(expected.latencies.empty()) << "the bird left in some trials of each kind";
    EXPECT_THAT(PointsOf(latency, name), ElementsAreArray(expected.latencies));
  }
}

// Plays one song to the end of its trial: the bird on the perch until a song starts, then away on
// the ticks `away` names by their distance from the song's start.
void PlaySong(WindowRig& rig, const std::function<bool(int)>& away) {
  const TrialController::State& state = rig.window().Controller().state();
  const auto playing = [&state] { return state.good_playing || state.bad_playing; };
  for (int limit = 0; !playing() && limit < 2000; ++limit) {
    rig.device.ScriptRead(LowOn({7}));
    rig.Tick();
    QCoreApplication::sendPostedEvents();
  }
  for (int since = 1; playing() && since < 100; ++since) {
    rig.device.ScriptRead(away(since) ? LowOn({}) : LowOn({7}));
    rig.Tick();
    QCoreApplication::sendPostedEvents();
  }
}

// Bad songs only, at a puff delay of 1.0 s and a puff of 0.5 s: the bird escapes 300 ms into the
// first; leaves 100 ms into the second and is back a tick later; escapes 200 ms into the third.
// Then the delay is 0.4 s and the puff 1.0 s, so the fourth song is decided three times: the bird
// stays through its first decision and its puff, and is gone at the next two. The charts count
// four songs and their first decisions, draw the bird that came back apart from the escapes and
// their median, mark the change of settings on both charts, and lay under the points the time
// each bird had, as the trial table's ticks tell it.
TEST(Progress, DrawsEachSongOnceWithTheTimeToEscapeAndMarksTheChangedSettings) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  Ui::TForm1& form = rig.form();
  form.feedback_delay1->setValue(form.feedback_delay1->maximum());
  WindowRig::PickItem(*form.precent_bad, 0);
  form.action_delayTb->setValue(10);
  form.puff_duration->setValue(5);
  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  QTest::keyClick(&window, Qt::Key_G, Qt::ControlModifier);
  ProgressWindow& progress = *window.Progress().Window();
  QTest::mouseClick(form.Start, Qt::LeftButton);
  window.Timer1().Disable();  // ticked by hand from here on

  PlaySong(rig, [](int k) { return k >= 3; });
  PlaySong(rig, [](int k) { return k == 1; });
  PlaySong(rig, [](int k) { return k >= 2; });
  form.action_delayTb->setValue(4);
  form.puff_duration->setValue(10);
  for (int tick = 0; tick < 12; ++tick) {  // away, so that no song starts while the count settles
    rig.device.ScriptRead(LowOn({}));
    rig.Tick();
  }
  PlaySong(rig, [](int k) { return k >= 5; });
  QCoreApplication::sendPostedEvents();

  const testing::TabSeparated table = testing::ReadTabSeparated(window.Record().Table().Path());
  ASSERT_EQ(table.rows.size(), 6u);
  std::vector<double> windows;
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    if (table.At(row, "song_decision") == "1") {
      windows.push_back(100.0 * (std::stod(table.At(row, "decision_tick")) -
                                 std::stod(table.At(row, "start_tick"))));
    }
  }
  ASSERT_THAT(windows, ElementsAre(1000, 500, 500, 400));

  const QCPAxisRect& rate = progress.Charts().RateChart();
  const QCPAxisRect& latency = progress.Charts().LatencyChart();
  const auto summary = [&progress] {
    return progress.findChild<QLabel*>(QStringLiteral("summary"))->text().toStdString();
  };
  EXPECT_EQ(summary(),
            "4 songs (6 decisions)   bad song: 2 of 4 escaped   neutral song: 0 of 0 "
            "escaped");
  EXPECT_THAT(PointsOf(latency, "Bad song"), ElementsAre(QPointF(1, 300), QPointF(3, 200)));
  EXPECT_THAT(PointsOf(latency, "Bad song, median"), ElementsAre(QPointF(1, 300), QPointF(3, 250)));
  EXPECT_THAT(PointsOf(latency, "Bad song, left and came back"), ElementsAre(QPointF(2, 100)));
  EXPECT_THAT(Xs(PointsOf(latency, "Bad song, stayed")), ElementsAre(4));
  EXPECT_EQ(testing::Ys(PointsOf(latency, "Time the bird had to escape")), windows);
  EXPECT_THAT(PointsOf(rate, "Bad song, block so far"), ElementsAre(QPointF(4, 50)));
  for (const QCPAxisRect* chart : {&rate, &latency}) {
    EXPECT_THAT(testing::ChangeMarks(*chart), ElementsAre(Pair(3.5, "delay 0.4 s, duration 1 s")));
  }

  // Every decision: the escapes after the puff count too, and the pointer names one of them.
  progress.SetEveryDecision(true);
  EXPECT_EQ(summary(),
            "4 songs (6 decisions)   bad song: 4 of 6 escaped   neutral song: 0 of 0 "
            "escaped");
  EXPECT_THAT(PointsOf(latency, "Bad song"),
              ElementsAre(QPointF(1, 300), QPointF(3, 200), QPointF(5, 500), QPointF(6, 500)));
  progress.Charts().replot();
  const QCPGraph& escapes = *testing::GraphOf(latency, "Bad song");
  EXPECT_EQ(progress.Charts().PointTextAt(escapes.coordsToPixels(5, 500)).toStdString(),
            "Trial 5\nalarm.wav (bad song)\nescaped after 500 ms\n2nd decision of its song, after "
            "a puff");
}

}  // namespace
}  // namespace orvane
