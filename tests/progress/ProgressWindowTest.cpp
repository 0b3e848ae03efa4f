#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "progress/BlockValuesText.h"
#include "progress/TrialTableReader.h"
#include "progress/view/ProgressCharts.h"
#include "progress/view/ProgressWindow.h"
#include "tests/progress/ChartPoints.h"
#include "tests/progress/HandMadeTable.h"
#include "tests/progress/Settled.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;
using testing::PointsOf;
using testing::RunMarks;
using testing::StretchesOf;
using testing::Xs;
using testing::Ys;

class PastRuns : public ::testing::Test {
 protected:
  QString Write(const QString& name, const std::string& text) {
    QFile file(folder_.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    return file.fileName();
  }
  ProgressWindow::Setup Setup() const {
    return {folder_.filePath(QStringLiteral("settings.ini")), folder_.path()};
  }

  QTemporaryDir folder_;
};

std::vector<std::string> Texts(const QStringList& texts) {
  std::vector<std::string> out;
  for (const QString& text : texts) {
    out.push_back(text.toStdString());
  }
  return out;
}

// When the graph is drawn, by its layer and its place on the layer: later is on top.
std::pair<int, qsizetype> DrawnAt(const QCPAxisRect& chart, const QString& name) {
  QCPGraph* graph = testing::GraphOf(chart, name);
  return {graph->layer()->index(), graph->layer()->children().indexOf(graph)};
}

// Three runs of three days, given out of order with a log journal among them, and the first
// day's table cut short in its last line.
TEST_F(PastRuns, AreDrawnInTheOrderTheyBeganWithEachStartDatedAndEveryUnreadableTableTold) {
  std::string first_day = testing::TrialTableText({
      {"bad", "Yes", "900", "2024-03-19T09:00:30.000+01:00", "30.000"},
      {"good", "No", "", "", ""},
      {"bad", "Yes", "700", "", ""},
      {"bad", "No", "", "", ""},
      {"good", "Yes", "500", "", ""},
      {"bad", "Yes", "600", "", ""},
  });
  first_day += "7\t2024-03-19T09:02:";
  const QStringList files = {
      // A name beyond ASCII, as any folder under a user's home may have.
      Write("troisième.tsv", testing::TrialTableText({
                                 {"good", "No", "", "2024-03-21T10:00:05.000+01:00", "5.000"},
                                 {"bad", "Yes", "250", "", ""},
                                 {"good", "No", "", "", ""},
                             })),
      Write("journal.tsv", "Time\tSong\tEscaped\t\t\n\n21/03/2024 10:00:05\tgood\tNo\t\t\n"),
      Write("first.tsv", first_day),
      // Kept on a clock an hour ahead, and dated as that clock showed it, with each run's offset.
      Write("second.tsv", testing::TrialTableText({
                              {"bad", "Yes", "400", "2024-03-20T10:30:10.000+02:00", "10.000"},
                              {"good", "No", "", "", ""},
                              {"bad", "Yes", "300", "", ""},
                              {"good", "No", "", "", ""},
                              {"bad", "No", "", "", ""},
                          })),
  };
  ProgressWindow window(Setup());
  window.SetBlockSize(5);
  ASSERT_TRUE(testing::Settled(window.ShowRuns(files)));
  EXPECT_EQ(window.windowTitle(), "Progress: 3 runs");
  EXPECT_THAT(Texts(window.Problems()),
              ElementsAre(HasSubstr("journal.tsv is not a trial table"),
                          "first.tsv, line 8: 2 fields where the header has 32; the line is left "
                          "out."));

  const QCPAxisRect& rate = window.Charts().RateChart();
  const QCPAxisRect& latency = window.Charts().LatencyChart();
  for (const QCPAxisRect* chart : {&rate, &latency}) {
    EXPECT_THAT(RunMarks(*chart), ElementsAre(Pair("2024-03-19 09:00 +01:00", 0.5),
                                              Pair("2024-03-20 10:30 +02:00", 6.5),
                                              Pair("2024-03-21 10:00 +01:00", 11.5)));
  }
  // Blocks end at trials 5 and 11; the first and last runs end in a block cut short, and being
  // over, they are drawn as such, not as blocks still being filled.
  EXPECT_THAT(PointsOf(rate, "Bad song"),
              ElementsAre(QPointF(5, 200.0 / 3), QPointF(11, 200.0 / 3)));
  EXPECT_EQ(StretchesOf(rate, "Bad song"), 2) << "no line across the start of a run";
  EXPECT_THAT(PointsOf(rate, "Neutral song"), ElementsAre(QPointF(5, 50), QPointF(11, 0)));
  const QString cut_short = ", last block cut short by the run's end";
  EXPECT_THAT(PointsOf(rate, "Bad song" + cut_short),
              ElementsAre(QPointF(5, 200.0 / 3), QPointF(6, 100), QPointF(14, 100)));
  EXPECT_THAT(PointsOf(rate, "Neutral song" + cut_short), ElementsAre(QPointF(14, 0)));
  EXPECT_THAT(PointsOf(rate, "Bad song, block so far"), ::testing::IsEmpty());

  const std::vector<QPointF> bad = PointsOf(latency, "Bad song");
  EXPECT_THAT(Xs(bad), ElementsAre(1, 3, 6, 7, 9, 13));
  EXPECT_THAT(Ys(bad), ElementsAre(900, 700, 600, 400, 300, 250));
  EXPECT_THAT(Ys(PointsOf(latency, "Bad song, median")), ElementsAre(900, 800, 700, 400, 350, 250))
      << "each run's median starts afresh";
  EXPECT_EQ(StretchesOf(latency, "Bad song, median"), 3);
  EXPECT_THAT(Xs(PointsOf(latency, "Neutral song, stayed")), ElementsAre(2, 8, 10, 12, 14));
  EXPECT_THAT(Xs(PointsOf(latency, "Bad song, stayed")), ElementsAre(4, 11));

  // The legends name only what is drawn, and where both kinds share a place the bad song's mark
  // is drawn over the neutral one's.
  EXPECT_THAT(testing::LegendOf(window.Charts().RateLegend()),
              ElementsAre("Neutral song", "Neutral song" + cut_short.toStdString(), "Bad song",
                          "Bad song" + cut_short.toStdString()));
  for (const char* const graph : {"", ", median", ", stayed"}) {
    EXPECT_GT(DrawnAt(latency, QStringLiteral("Bad song") + graph),
              DrawnAt(latency, QStringLiteral("Neutral song") + graph));
  }
  EXPECT_GT(DrawnAt(rate, "Bad song"), DrawnAt(rate, "Neutral song"));
}

// A live run of 43 trials.
TEST_F(PastRuns, ZoomAndPanTheTrialAxisOfBothChartsAndTellThePointUnderThePointer) {
  std::vector<testing::HandRow> hand;
  for (int i = 0; i < 43; ++i) {
    hand.push_back({i % 2 == 0 ? "bad" : "good", i % 3 == 0 ? "Yes" : "No",
                    i % 3 == 0 ? std::to_string(300 + 10 * i) : "", "", ""});
  }
  const std::vector<TrialRow> rows = ReadTrialTable(testing::TrialTableText(hand), "run").rows;
  ProgressWindow window(Setup());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (const TrialRow& row : rows) {
    window.AddTrial(row);
  }
  QCoreApplication::processEvents();
  ProgressCharts& charts = window.Charts();
  charts.replot();

  QCPAxis& rate_trials = *charts.RateChart().axis(QCPAxis::atBottom);
  QCPAxis& latency_trials = *charts.LatencyChart().axis(QCPAxis::atBottom);
  EXPECT_EQ(rate_trials.range(), QCPRange(0, 45)) << "to the first step of 5 past the trials";

  // The pointer on a point is told its trial; on a block, the block of the kind drawn on top.
  const QCPGraph& latencies = *testing::GraphOf(charts.LatencyChart(), "Bad song");
  const QPointF on_trial_7 = latencies.coordsToPixels(7, 360);
  EXPECT_EQ(charts.PointTextAt(on_trial_7).toStdString(),
            "Trial 7\ncalm.wav (bad song)\nescaped after 360 ms");
  EXPECT_EQ(charts.PointTextAt(on_trial_7 + QPointF(0, 40)), "");
  const QCPGraph& rate = *testing::GraphOf(charts.RateChart(), "Bad song");
  EXPECT_EQ(charts.PointTextAt(rate.coordsToPixels(20, 40)).toStdString(),
            "Trials 11–20\n2 of 5 bad songs escaped (40.0 %)");

  // The wheel over the latency chart zooms the trial axis of both, the other axes stay.
  const QPoint middle = charts.LatencyChart().rect().center();
  const QPointF at(middle);
  QWheelEvent wheel(at, charts.mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&charts, &wheel);
  EXPECT_LT(rate_trials.range().size(), 40);
  EXPECT_EQ(rate_trials.range(), latency_trials.range());
  EXPECT_EQ(charts.RateChart().axis(QCPAxis::atLeft)->range(), QCPRange(-3, 103));

  // Dragging moves it; a trial logged now leaves it where the user put it.
  const QCPRange zoomed = rate_trials.range();
  QTest::mousePress(&charts, Qt::LeftButton, Qt::NoModifier, middle);
  QMouseEvent drag(QEvent::MouseMove, QPointF(middle + QPoint(60, 0)),
                   charts.mapToGlobal(QPointF(middle + QPoint(60, 0))), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&charts, &drag);
  QTest::mouseRelease(&charts, Qt::LeftButton, Qt::NoModifier, middle + QPoint(60, 0));
  EXPECT_LT(rate_trials.range().lower, zoomed.lower);
  EXPECT_DOUBLE_EQ(rate_trials.range().size(), zoomed.size());
  EXPECT_EQ(rate_trials.range(), latency_trials.range());
  const QCPRange panned = rate_trials.range();
  window.AddTrial(TrialRow{});
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(rate_trials.range(), panned);

  // A double click shows every trial again.
  QTest::mouseDClick(&charts, Qt::LeftButton, Qt::NoModifier, middle);
  EXPECT_EQ(latency_trials.range(), QCPRange(0, 45));
}

TEST_F(PastRuns, ExportAsPicturesADrawingAndATableAndTheBlockSizeIsRemembered) {
  const QString table = Write("run.tsv", testing::TrialTableText({
                                             {"bad", "Yes", "640", "", ""},
                                             {"good", "No", "", "", ""},
                                         }));
  ProgressWindow window(Setup());
  EXPECT_EQ(window.BlockSize(), 10) << "the first choice";
  window.SetBlockSize(20);
  ASSERT_TRUE(testing::Settled(window.ShowRuns({table})));
  window.show();

  const QDir out(folder_.path());
  EXPECT_EQ(window.SaveChartsAsPng(out.filePath("charts.png")).result(), "");
  const QImage picture(out.filePath("charts.png"));
  EXPECT_EQ(picture.size(), window.Charts().size()) << "the picture of the window";
  EXPECT_EQ(window.SaveChartsAsPrintPng(out.filePath("print.png")).result(), "");
  const QImage print(out.filePath("print.png"));
  EXPECT_EQ(print.size(), window.Charts().size() * 3.125) << "300 dpi where the screen has 96";
  EXPECT_EQ(print.dotsPerMeterX(), 11811);

  EXPECT_EQ(window.SaveChartsAsPdf(out.filePath("charts.pdf")).result(), "");
  QFile pdf(out.filePath("charts.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray drawing = pdf.readAll();
  EXPECT_TRUE(drawing.startsWith("%PDF"));
  EXPECT_FALSE(drawing.contains("/Subtype /Image")) << "drawn, not a picture";

  EXPECT_EQ(window.SaveBlockValues(out.filePath("blocks.tsv")).result(), "");
  QFile blocks(out.filePath("blocks.tsv"));
  ASSERT_TRUE(blocks.open(QIODevice::ReadOnly));
  EXPECT_EQ(blocks.readAll().toStdString(), BlockValuesText(window.Plot()));
  for (QFuture<QString> refused :
       {window.SaveChartsAsPdf(out.filePath("no such folder/charts.pdf")),
        window.SaveBlockValues(out.filePath("no such folder/blocks.tsv"))}) {
    EXPECT_THAT(refused.result().toStdString(), HasSubstr(" could not be written: "));
  }

  EXPECT_EQ(ProgressWindow(Setup()).BlockSize(), 20);
}

}  // namespace
}  // namespace orvane
