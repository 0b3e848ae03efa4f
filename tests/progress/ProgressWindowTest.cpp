#include <QDir>
#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "progress/BlockValuesText.h"
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
      Write("third.tsv", testing::TrialTableText({
                             {"good", "No", "", "2024-03-21T10:00:05.000+01:00", "5.000"},
                             {"bad", "Yes", "250", "", ""},
                             {"good", "No", "", "", ""},
                         })),
      Write("journal.tsv", "Time\tSong\tEscaped\t\t\n\n21/03/2024 10:00:05\tgood\tNo\t\t\n"),
      Write("first.tsv", first_day),
      // Kept on a clock an hour ahead, and dated as that clock showed it.
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

  const QChart& rate = window.Charts().RateChart();
  const QChart& latency = window.Charts().LatencyChart();
  for (const QChart* chart : {&rate, &latency}) {
    EXPECT_THAT(RunMarks(*chart),
                ElementsAre(Pair("2024-03-19 09:00", 0.5), Pair("2024-03-20 10:30", 6.5),
                            Pair("2024-03-21 10:00", 11.5)));
  }
  // Blocks end at trials 5 and 11; the first and last runs end in a block cut short.
  EXPECT_THAT(PointsOf(rate, "Bad song"),
              ElementsAre(QPointF(5, 200.0 / 3), QPointF(11, 200.0 / 3)));
  EXPECT_EQ(StretchesOf(rate, "Bad song"), 2) << "no line across the start of a run";
  EXPECT_THAT(PointsOf(rate, "Neutral song"), ElementsAre(QPointF(5, 50), QPointF(11, 0)));
  EXPECT_THAT(PointsOf(rate, "Bad song, block so far"),
              ElementsAre(QPointF(5, 200.0 / 3), QPointF(6, 100), QPointF(14, 100)));
  EXPECT_THAT(PointsOf(rate, "Neutral song, block so far"), ElementsAre(QPointF(14, 0)));

  const std::vector<QPointF> bad = PointsOf(latency, "Bad song");
  EXPECT_THAT(Xs(bad), ElementsAre(1, 3, 6, 7, 9, 13));
  EXPECT_THAT(Ys(bad), ElementsAre(900, 700, 600, 400, 300, 250));
  EXPECT_THAT(Ys(PointsOf(latency, "Bad song, median")), ElementsAre(900, 800, 700, 400, 350, 250))
      << "each run's median starts afresh";
  EXPECT_THAT(Xs(PointsOf(latency, "Neutral song, stayed")), ElementsAre(2, 8, 10, 12, 14));
  EXPECT_THAT(Xs(PointsOf(latency, "Bad song, stayed")), ElementsAre(4, 11));
}

TEST_F(PastRuns, ExportAsPictureDrawingAndTableAndTheBlockSizeIsRemembered) {
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
  EXPECT_EQ(picture.size(), window.Charts().size() * 2);
  EXPECT_EQ(window.SaveChartsAsSvg(out.filePath("charts.svg")).result(), "");
  EXPECT_TRUE(QSvgRenderer(out.filePath("charts.svg")).isValid());
  EXPECT_EQ(window.SaveBlockValues(out.filePath("blocks.tsv")).result(), "");
  QFile blocks(out.filePath("blocks.tsv"));
  ASSERT_TRUE(blocks.open(QIODevice::ReadOnly));
  EXPECT_EQ(blocks.readAll().toStdString(), BlockValuesText(window.Plot()));
  EXPECT_THAT(
      window.SaveBlockValues(out.filePath("no such folder/blocks.tsv")).result().toStdString(),
      HasSubstr("blocks.tsv could not be written: "));

  EXPECT_EQ(ProgressWindow(Setup()).BlockSize(), 20);
}

}  // namespace
}  // namespace orvane
