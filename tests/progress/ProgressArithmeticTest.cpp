#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "progress/BlockCounts.h"
#include "progress/BlockValuesText.h"
#include "progress/ProgressPlot.h"
#include "progress/RunningMedian.h"
#include "progress/TrialTableReader.h"
#include "tests/progress/HandMadeTable.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using testing::HandRow;

// Thirteen trials: in blocks of 5, the second block has no neutral song and the third is cut
// short by the end of the run.
const std::vector<HandRow> kThirteen = {
    {"bad", "Yes", "850", "", ""}, {"good", "No", "", "", ""},    {"bad", "No", "", "", ""},
    {"bad", "Yes", "400", "", ""}, {"good", "No", "", "", ""},    {"bad", "Yes", "400", "", ""},
    {"bad", "No", "", "", ""},     {"bad", "Yes", "300", "", ""}, {"bad", "Yes", "300", "", ""},
    {"bad", "No", "1200", "", ""}, {"good", "Yes", "", "", ""},   {"good", "No", "", "", ""},
    {"bad", "Yes", "250", "", ""}};

std::vector<TrialRow> Rows(const std::vector<HandRow>& hand) {
  const TrialTable table = ReadTrialTable(testing::TrialTableText(hand), "hand.tsv");
  EXPECT_TRUE(table.problems.empty()) << table.problems.front();
  return table.rows;
}

std::vector<double> Ys(const std::vector<PlotPoint>& points) {
  std::vector<double> ys;
  for (const PlotPoint& point : points) {
    ys.push_back(point.y);
  }
  return ys;
}

TEST(BlockArithmetic, CountsEachKindPerBlockWithGapsAndThePartialBlockAndFollowsN) {
  const std::vector<TrialRow> rows = Rows(kThirteen);
  ProgressPlot plot(5);
  for (const TrialRow& row : rows) {
    plot.Add(row);
  }
  const std::vector<Block> in_fives = {
      {5, 5, {3, 2}, {2, 0}, true}, {10, 5, {5, 3}, {0, 0}, true}, {13, 3, {1, 1}, {2, 1}, false}};
  EXPECT_EQ(CountBlocks(rows, 5), in_fives);
  EXPECT_EQ(plot.Runs().at(0).blocks.Blocks(), in_fives) << "counted one trial at a time";
  EXPECT_DOUBLE_EQ(*in_fives[0].bad.EscapePercent(), 200.0 / 3);
  EXPECT_FALSE(in_fives[1].neutral.EscapePercent()) << "a block without the kind is a gap, not 0";

  plot.SetBlockSize(10);
  const std::vector<Block> in_tens = {{10, 10, {8, 5}, {2, 0}, true},
                                      {13, 3, {1, 1}, {2, 1}, false}};
  EXPECT_EQ(plot.Runs().at(0).blocks.Blocks(), in_tens);
  EXPECT_EQ(plot.Trials(), 13);
  EXPECT_EQ(plot.Total(kBadSong), (KindCount{9, 6}));

  EXPECT_EQ(BlockValuesText(plot),
            "run\trun_start\tfirst_trial\tlast_trial\tbad_trials\tbad_escaped\tbad_escape_pct\t"
            "neutral_trials\tneutral_escaped\tneutral_escape_pct\tcomplete\n"
            "1\t\t1\t10\t8\t5\t62.5\t2\t0\t0.0\tYes\n"
            "1\t\t11\t13\t1\t1\t100.0\t2\t1\t50.0\tNo\n");
}

TEST(BlockArithmetic, LatenciesHaveARunningMedianOverNAndStaysAreMarkedApart) {
  // Of an even count the median is the mean of the middle two; a value leaving the window takes
  // only one of its ties with it.
  RunningMedian median(4);
  EXPECT_THAT((std::vector<double>{median.Add(300), median.Add(100), median.Add(100),
                                   median.Add(300), median.Add(100), median.Add(500)}),
              ElementsAre(300, 200, 100, 200, 100, 200));

  ProgressPlot plot(4);
  for (const TrialRow& row : Rows(kThirteen)) {
    plot.Add(row);
  }
  const LatencyPlot& bad = plot.Latency(kBadSong);
  // Trial 10 left the perch and came back before the decision: it has a latency, not a stay.
  EXPECT_EQ(Ys(bad.latencies), (std::vector<double>{850, 400, 400, 300, 300, 1200, 250}));
  EXPECT_EQ(Ys(bad.medians), (std::vector<double>{850, 625, 400, 400, 350, 350, 300}));
  EXPECT_EQ(bad.medians.back().x, 13);
  EXPECT_THAT(bad.stays, ElementsAre(PlotPoint{0, 3, 0}, PlotPoint{0, 7, 0}));
  const LatencyPlot& neutral = plot.Latency(kNeutralSong);
  EXPECT_TRUE(neutral.latencies.empty()) << "trial 11 escaped at no known time";
  EXPECT_THAT(neutral.stays,
              ElementsAre(PlotPoint{0, 2, 0}, PlotPoint{0, 5, 0}, PlotPoint{0, 12, 0}));

  // A new run counts its blocks and medians afresh, its trials numbered on from the last run's.
  plot.BeginRun();
  plot.Add(Rows({{"bad", "Yes", "900", "", ""}}).front());
  EXPECT_EQ(plot.Runs().at(1).first_trial, 14);
  EXPECT_EQ(plot.Runs().at(1).blocks.Blocks().front(), (Block{14, 1, {1, 1}, {}, false}));
  EXPECT_EQ(bad.medians.back(), (PlotPoint{1, 14, 900}));
}

}  // namespace
}  // namespace orvane
