#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "progress/BlockCounts.h"
#include "progress/BlockValuesText.h"
#include "progress/DecisionWindow.h"
#include "progress/PointText.h"
#include "progress/ProgressPlot.h"
#include "progress/RunningMedian.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TrialRow Stayed(SongKind kind) {
  TrialRow row;
  row.kind = kind;
  return row;
}
TrialRow Escaped(SongKind kind, std::optional<std::int32_t> latency) {
  TrialRow row = Stayed(kind);
  row.escaped = true;
  row.latency_ms = latency;
  row.left_ms = latency;
  return row;
}
// The bird left the perch and was back before the decision; `escaped` when it left again.
TrialRow CameBack(SongKind kind, std::int32_t left, bool escaped = false) {
  TrialRow row = Stayed(kind);
  row.escaped = escaped;
  row.left_ms = left;
  row.returned = true;
  return row;
}
// A later decision of the song before, of the song's start.
TrialRow Again(TrialRow row, std::int32_t decision, bool after_puff) {
  row.song_decision = decision;
  row.after_puff = after_puff;
  return row;
}
TrialRow Dated(TrialRow row, const char* logged_at) {
  row.logged_at = ParseLoggedAt(logged_at);
  row.run_seconds = 30;
  return row;
}

std::vector<double> Ys(const std::vector<PlotPoint>& points) {
  std::vector<double> ys;
  for (const PlotPoint& point : points) {
    ys.push_back(point.y);
  }
  return ys;
}

std::vector<int> Xs(const std::vector<PlotPoint>& points) {
  std::vector<int> xs;
  for (const PlotPoint& point : points) {
    xs.push_back(point.x);
  }
  return xs;
}

// Thirteen trials: in blocks of 5, the second block has no neutral song and the third is cut
// short by the end of the run.
const std::vector<TrialRow> kThirteen = {Escaped(kBadSong, 850),
                                         Stayed(kNeutralSong),
                                         Stayed(kBadSong),
                                         Escaped(kBadSong, 400),
                                         Stayed(kNeutralSong),
                                         Escaped(kBadSong, 400),
                                         Stayed(kBadSong),
                                         Escaped(kBadSong, 300),
                                         Escaped(kBadSong, 300),
                                         CameBack(kBadSong, 200),
                                         Escaped(kNeutralSong, {}),
                                         Stayed(kNeutralSong),
                                         CameBack(kBadSong, 150, true)};

TEST(BlockArithmetic, CountsEachKindPerBlockWithGapsAndThePartialBlockAndFollowsN) {
  ProgressPlot plot(5);
  for (const TrialRow& row : kThirteen) {
    plot.Add(row);
  }
  const std::vector<Block> in_fives = {{1, 5, 1, 5, 5, {3, 2}, {2, 0}, true},
                                       {6, 10, 6, 10, 5, {5, 3}, {0, 0}, true},
                                       {11, 13, 11, 13, 3, {1, 1}, {2, 1}, false}};
  EXPECT_EQ(plot.Runs().at(0).blocks.Blocks(), in_fives);
  EXPECT_DOUBLE_EQ(*in_fives[0].bad.EscapePercent(), 200.0 / 3);
  EXPECT_FALSE(in_fives[1].neutral.EscapePercent()) << "a block without the kind is a gap, not 0";

  plot.SetBlockSize(10);
  EXPECT_EQ(plot.Runs().at(0).blocks.Blocks().at(0),
            (Block{1, 10, 1, 10, 10, {8, 5}, {2, 0}, true}));
  EXPECT_EQ(plot.Decisions(), 13);
  EXPECT_EQ(plot.Total(kBadSong), (KindCount{9, 6}));

  // A second run is drawn on after the first, but its blocks are numbered by its own trials.
  plot.BeginRun();
  for (int trial = 1; trial <= 3; ++trial) {
    TrialRow row = Escaped(kBadSong, 500);
    row.trial = trial;
    plot.Add(row);
  }
  EXPECT_EQ(plot.Runs().at(1).blocks.Blocks().at(0), (Block{14, 16, 1, 3, 3, {3, 3}, {}, false}));
  EXPECT_EQ(BlockValuesText(plot),
            "run\trun_start\tfirst_trial\tlast_trial\tbad_trials\tbad_escaped\tbad_escape_pct\t"
            "neutral_trials\tneutral_escaped\tneutral_escape_pct\tcomplete\tcounted\n"
            "1\t\t1\t10\t8\t5\t62.5\t2\t0\t0.0\tYes\tfirst decision of each song\n"
            "1\t\t11\t13\t1\t1\t100.0\t2\t1\t50.0\tNo\tfirst decision of each song\n"
            "2\t\t1\t3\t3\t3\t100.0\t0\t0\t\tNo\tfirst decision of each song\n");
}

TEST(BlockArithmetic, TheMedianRunsOverRealEscapesAndABirdThatCameBackIsDrawnApart) {
  // Of an even count the median is the mean of the middle two; a value leaving the window takes
  // only one of its ties with it.
  RunningMedian median(4);
  EXPECT_THAT((std::vector<double>{median.Add(300), median.Add(100), median.Add(100),
                                   median.Add(300), median.Add(100), median.Add(500)}),
              ElementsAre(300, 200, 100, 200, 100, 200));

  ProgressPlot plot(4);
  for (const TrialRow& row : kThirteen) {
    plot.Add(row);
  }
  const LatencyPlot& bad = plot.Latency(kBadSong);
  EXPECT_EQ(Ys(bad.latencies), (std::vector<double>{850, 400, 400, 300, 300}));
  EXPECT_EQ(Ys(bad.medians), (std::vector<double>{850, 625, 400, 400, 350}));
  // Trial 10 stayed and trial 13 escaped, but both birds had left and come back first: their
  // first leave is drawn apart, in no median, and neither is a stay.
  EXPECT_THAT(bad.returned, ElementsAre(PlotPoint{0, 10, 200}, PlotPoint{0, 13, 150}));
  EXPECT_THAT(Xs(bad.stays), ElementsAre(3, 7));
  const LatencyPlot& neutral = plot.Latency(kNeutralSong);
  EXPECT_THAT(neutral.latencies, IsEmpty()) << "trial 11 escaped at no known time";
  EXPECT_THAT(Xs(neutral.stays), ElementsAre(2, 5, 12));
  EXPECT_EQ(plot.Total(kBadSong), (KindCount{9, 6})) << "the rate counts what was logged";

  // A new run counts its medians afresh, its trials placed on from the last run's.
  plot.BeginRun();
  plot.Add(Escaped(kBadSong, 900));
  EXPECT_EQ(plot.Runs().at(1).first_x, 14);
  EXPECT_EQ(bad.medians.back(), (PlotPoint{1, 14, 900}));
}

// A bad song whose puff delay is shorter than its puff: decided, puffed, and decided again, the
// bird gone by then because of the puff. Then a neutral song decided twice.
TEST(SongsAndDecisions, ASongIsCountedOnceAtItsFirstDecisionUnlessEveryDecisionIsAsked) {
  TrialRow alarm = Stayed(kBadSong);
  alarm.song_file = "alarm.wav";
  TrialRow alarm_again = Again(alarm, 2, true);
  alarm_again.escaped = true;
  alarm_again.latency_ms = 600;
  const std::vector<TrialRow> rows = {alarm, alarm_again, Escaped(kNeutralSong, 300),
                                      Again(Escaped(kNeutralSong, {}), 2, false)};
  ProgressPlot plot(10);
  for (const TrialRow& row : rows) {
    plot.Add(row);
  }
  EXPECT_EQ(plot.Songs(), 2);
  EXPECT_EQ(plot.Decisions(), 4);
  EXPECT_EQ(plot.Total(kBadSong), (KindCount{1, 0})) << "the puff's escape is not the song's";
  EXPECT_EQ(plot.Total(kNeutralSong), (KindCount{1, 1}));
  EXPECT_THAT(plot.Latency(kBadSong).latencies, IsEmpty());
  EXPECT_THAT(Xs(plot.Latency(kBadSong).stays), ElementsAre(1));
  EXPECT_EQ(plot.Runs().at(0).blocks.Blocks().at(0).last_x, 3) << "the block ends at its last song";
  EXPECT_EQ(TrialPointText(plot, 2),
            "Trial 2\nalarm.wav (bad song)\nescaped after 600 ms\n2nd decision of its song, "
            "after a puff");

  plot.SetCounting(Counting::kEveryDecision);
  EXPECT_EQ(plot.Total(kBadSong), (KindCount{2, 1}));
  EXPECT_EQ(plot.Total(kNeutralSong), (KindCount{2, 2}));
  EXPECT_THAT(plot.Latency(kBadSong).latencies, ElementsAre(PlotPoint{0, 2, 600}));
  EXPECT_THAT(BlockValuesText(plot), ::testing::EndsWith("\tNo\tevery decision\n"));
}

TEST(DecisionWindows, FollowTheTrialControllersTimingAndEveryChangeOfASettingIsMarked) {
  // The decision count is the slider position plus one, except where the position's tenth falls
  // just below it.
  const std::set<int> below = {3,  6,  7,  12, 14, 17, 19, 23, 24, 28,
                               29, 33, 34, 38, 39, 41, 43, 46, 48};
  for (int position = 0; position <= 50; ++position) {
    EXPECT_EQ(DecisionCount(position / 10.0), below.count(position) ? position : position + 1)
        << position;
  }

  const auto at = [](double delay, double duration, int decision = 1) {
    TrialRow row = Again(Stayed(kBadSong), decision, false);
    row.puff_delay_s = delay;
    row.puff_duration_s = duration;
    row.odds = 0.1;
    return row;
  };
  // The defaults: the run's first song has the whole delay, every later one the delay less the
  // puff. Then a delay of 0.5 s, shorter than the 1.0 s puff: each song is decided twice. The
  // first of them has the whole delay, the count left from before being spent without a song; the
  // next is decided one tick after it starts. A 0.3 s puff leaves the next song 0.1 s more.
  std::vector<TrialRow> rows = {at(2.0, 1.0), at(2.0, 1.0),    at(0.5, 1.0), at(0.5, 1.0, 2),
                                at(0.5, 1.0), at(0.5, 1.0, 2), at(0.5, 0.3), at(0.5, 0.3)};
  rows.back().odds = 0.25;
  ProgressPlot plot(10, Counting::kEveryDecision);
  for (const TrialRow& row : rows) {
    plot.Add(row);
  }
  EXPECT_EQ(Ys(plot.DecisionWindows()),
            (std::vector<double>{2000, 1000, 500, 1100, 100, 700, 100, 200}));
  EXPECT_THAT(plot.Changes(),
              ElementsAre(SettingChange{0, 3, "delay 0.5 s"}, SettingChange{0, 7, "duration 0.3 s"},
                          SettingChange{0, 8, "odds 0.25"}));
  plot.SetCounting(Counting::kFirstDecisions);
  EXPECT_THAT(Xs(plot.DecisionWindows()), ElementsAre(1, 2, 3, 5, 7, 8));
  EXPECT_EQ(plot.Changes().size(), 3u) << "changes are marked whatever is counted";
}

TEST(OlderTables, DrawTheFirstLeaveOfAnEscapeAsItsLatencyAndRunsAreDatedWithTheirOffsets) {
  ProgressPlot plot(10);
  plot.BeginRun({.latencies_are_first_leaves = true});
  // Such a table has no latencies, only the first leave of every trial whose bird left.
  TrialRow escape = Dated(Escaped(kBadSong, {}), "2024-03-30T09:00:30.000+01:00");
  escape.left_ms = 700;
  TrialRow stay = Stayed(kBadSong);
  stay.left_ms = 300;
  plot.Add(escape);
  plot.Add(stay);
  plot.BeginRun();
  // A day later, after the clocks went forward.
  plot.Add(Dated(Stayed(kBadSong), "2024-03-31T09:00:30.000+02:00"));
  EXPECT_TRUE(plot.AnyLatenciesAreFirstLeaves());
  EXPECT_THAT(plot.Latency(kBadSong).latencies, ElementsAre(PlotPoint{0, 1, 700}));
  EXPECT_THAT(plot.Latency(kBadSong).returned, ElementsAre(PlotPoint{0, 2, 300}));
  EXPECT_EQ(TrialPointText(plot, 1),
            "Trial 1 of run 1\nbad song\nescaped; first left after 700 ms");
  EXPECT_THAT(RunLabels(plot.Runs()),
              ElementsAre("2024-03-30 09:00 +01:00", "2024-03-31 09:00 +02:00"));

  ProgressPlot one_offset(10);
  one_offset.Add(Dated(Stayed(kBadSong), "2024-03-30T09:00:30.000+01:00"));
  one_offset.BeginRun();
  one_offset.Add(Stayed(kBadSong));
  EXPECT_THAT(RunLabels(one_offset.Runs()), ElementsAre("2024-03-30 09:00", "run 2"));
}

}  // namespace
}  // namespace orvane
