#include "log/view/ReportListView.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>

namespace orvane {
namespace {

constexpr int kFrame = 1;

class ReportListViewTest : public testing::Test {
 protected:
  ReportListViewTest() {
    QFont font("Tahoma");
    font.setPixelSize(11);
    view.setFont(font);
    view.resize(514, 385);
    table().SetColName(1, "Time");
    table().SetColName(2, "Song");
    table().SetColName(3, "Escaped");
    table().SetNrRows(30);
    for (int row = 1; row <= 30; ++row) {
      table().SetElem(1, row, "row " + std::to_string(100 + row));
      table().SetElem(2, row, row % 3 == 0 ? "a much longer song name" : "good");
      table().SetElem(3, row, row % 2 == 0 ? "No" : "Yes");
    }
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
  }

  ReportTable& table() { return view.table(); }
  int TitleY() const { return kFrame + 5; }
  int RowY(int shown_row) const {
    return kFrame + view.titleRowHeight() + (shown_row - 1) * view.defaultRowHeight() + 5;
  }
  void Click(int x, int y) { QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(x, y)); }
  void Key(Qt::Key key) { QTest::keyClick(&view, key); }
  int TextWidth(const char* text) const {
    return QFontMetrics(view.font()).horizontalAdvance(text);
  }

  TReportListView view;
};

TEST_F(ReportListViewTest, ATitlePressSortsOnlyAwayFromTheTitleEdges) {
  const QList<int> widths = view.colWidths();
  for (const int x : {kFrame + 3, kFrame + 232, kFrame + 236, kFrame + 234 + 141}) {
    Click(x, TitleY());
    EXPECT_EQ(table().Sort().column, 0) << "press at x " << x;
  }
  EXPECT_EQ(view.colWidths(), widths) << "a press on a border alone resizes nothing";

  Click(kFrame + 100, TitleY());
  EXPECT_EQ(table().Sort().column, 1);
  EXPECT_EQ(table().Sort().direction, SortDirection::kDescending);
  EXPECT_EQ(table().GetDisplayedElem(1, 1), "row 130");
  Click(kFrame + 234 + 70, TitleY());
  EXPECT_EQ(table().Sort().column, 2);
  EXPECT_EQ(table().Sort().direction, SortDirection::kAscending);
  EXPECT_EQ(table().GetDisplayedElem(2, 1), "a much longer song name");
}

TEST_F(ReportListViewTest, ADoubleClickOnABorderFitsTheColumnLeftOfIt) {
  const int song_border = kFrame + 234 + 143;
  QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(song_border + 2, TitleY()));
  EXPECT_EQ(view.colWidths()[1], TextWidth("a much longer song name") + 9);
  EXPECT_EQ(table().Sort().column, 0);

  const int escaped_border = view.colWidths()[0] + view.colWidths()[1] + 129 + kFrame;
  QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(escaped_border - 3, TitleY()));
  EXPECT_EQ(view.colWidths()[2], TextWidth("Escaped") + 9);

  Click(view.colWidths()[0] + view.colWidths()[1] + kFrame + 20, TitleY());
  ASSERT_EQ(table().Sort().column, 3);
  const int fitted_border = view.colWidths()[0] + view.colWidths()[1] + view.colWidths()[2];
  QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(fitted_border + kFrame, TitleY()));
  EXPECT_EQ(view.colWidths()[2], TextWidth("Escaped") + 13 + 9) << "room for the triangle";
}

TEST_F(ReportListViewTest, DraggingATitleBorderResizesTheColumn) {
  const QPoint border(kFrame + 234 + 1, TitleY());
  QTest::mousePress(&view, Qt::LeftButton, {}, border);
  QMouseEvent move(QEvent::MouseMove, QPointF(border + QPoint(30, 0)),
                   QPointF(view.mapToGlobal(border + QPoint(30, 0))), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&view, &move);
  QTest::mouseRelease(&view, Qt::LeftButton, {}, border + QPoint(30, 0));
  EXPECT_EQ(view.colWidths()[0], 264);
  EXPECT_EQ(table().Sort().column, 0);
}

TEST_F(ReportListViewTest, TitlesScrolledSidewaysSortTheColumnUnderThePointer) {
  view.setColWidths({600, 143, 129});
  auto* columns_bar = view.findChildren<QScrollBar*>().at(1);
  ASSERT_EQ(columns_bar->orientation(), Qt::Horizontal);
  ASSERT_TRUE(columns_bar->isVisible());
  columns_bar->setValue(columns_bar->maximum());
  const int song_title = kFrame + 600 + 50 - columns_bar->value();
  ASSERT_GT(song_title, 0);
  Click(song_title, TitleY());
  EXPECT_EQ(table().Sort().column, 2);
}

TEST_F(ReportListViewTest, ClicksAndNavigationKeysMoveTheCursorAndMarkOneRow) {
  Click(100, RowY(3));
  EXPECT_EQ(table().MarkedRow(), 3);
  Key(Qt::Key_Down);
  EXPECT_EQ(view.cursorPosition(), 4);
  EXPECT_EQ(table().MarkedRow(), 4);
  Key(Qt::Key_End);
  EXPECT_EQ(table().MarkedRow(), 30);
  EXPECT_GT(view.topPosition(), 1) << "the cursor stays in view";
  Key(Qt::Key_Home);
  EXPECT_EQ(table().MarkedRow(), 1);
  EXPECT_EQ(view.topPosition(), 1);
  Key(Qt::Key_PageDown);
  const int page_end = view.cursorPosition();
  EXPECT_GT(page_end, 10);
  Key(Qt::Key_Up);
  EXPECT_EQ(table().MarkedRow(), page_end - 1);

  // The noted entry keeps the cursor across a sort; the mark moves with it.
  Key(Qt::Key_Home);
  Key(Qt::Key_Down);
  Click(kFrame + 100, TitleY());
  EXPECT_EQ(table().StoredRowAt(view.cursorPosition()), 2);
  EXPECT_EQ(table().MarkedRow(), 2);

  Key(Qt::Key_End);
  EXPECT_EQ(table().MarkedRow(), 1) << "the oldest entry is shown last after a descending sort";
  const int top = view.topPosition();
  table().SetNrRows(31);
  EXPECT_EQ(view.cursorPosition(), 1) << "a new row count puts the cursor at the top";
  EXPECT_EQ(view.topPosition(), top) << "without scrolling";
  EXPECT_EQ(table().MarkedRow(), 1);
}

// The pixels of `area` that differ from `background`, relative to the area's top-left corner.
std::set<std::pair<int, int>> Ink(const QImage& image, const QRect& area,
                                  const QColor& background) {
  std::set<std::pair<int, int>> ink;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) != background) {
        ink.emplace(x - area.left(), y - area.top());
      }
    }
  }
  return ink;
}

TEST_F(ReportListViewTest, ShadesOddDisplayRowsAndCutsWideTextsToTheirShareBeforeTheDots) {
  const QFontMetrics metrics(view.font());
  const int width = 150;
  // k of n characters stay before "...": n × (width − 9) ÷ text width, less 4 (cell) or 3 (title).
  auto kept = [&](const QString& text, int reserve) {
    return static_cast<double>(text.size()) * (width - 9.0) / metrics.horizontalAdvance(text) -
           reserve;
  };
  auto cut = [&](const QString& text, int reserve) {
    return (text.left(std::max(1L, std::lround(kept(text, reserve)))) + QStringLiteral("..."))
        .toStdString();
  };
  // Lengthened until k is clear of a half, where the view's rounding and this one could differ.
  auto clear_of_a_half = [&](QString text, int reserve) {
    while (std::abs(kept(text, reserve) - std::floor(kept(text, reserve)) - 0.5) < 0.05) {
      text += QLatin1Char('!');
    }
    return text;
  };
  const QString cell =
      clear_of_a_half(QStringLiteral("21/03/2024 14:05:09 logged after a pause"), 4);
  const QString title =
      clear_of_a_half(QStringLiteral("Escaped from the perch at the bad song"), 3);
  view.setColWidths({width, 300, 56});
  table().SetNrRows(6);
  table().SetColName(1, title.toStdString());
  table().SetColName(2, cut(title, 3));  // wide enough to show it whole
  table().SetElem(1, 1, cell.toStdString());
  table().SetElem(1, 2, cut(cell, 4));
  for (int row = 1; row <= 6; ++row) {
    table().SetElem(3, row, std::string(1, static_cast<char>('a' + row)));
  }
  table().SortByColumn(3);  // descending: stored row r shows at display position 7 − r
  const QImage image = view.grab().toImage();

  const int title_height = view.titleRowHeight();
  auto row_top = [&](int position) { return kFrame + title_height + (position - 1) * 24; };
  for (int position = 1; position <= 6; ++position) {
    const QColor expected = position % 2 == 1 ? QColor(208, 224, 240) : QColor(Qt::white);
    EXPECT_EQ(image.pixelColor(kFrame + width + 150, row_top(position) + 12), expected)
        << "display position " << position;
  }
  // Each long text is drawn as exactly its cut-down twin, which fits whole.
  const auto long_cell = Ink(image, QRect(kFrame, row_top(6), width, 24), Qt::white);
  EXPECT_FALSE(long_cell.empty());
  EXPECT_EQ(long_cell, Ink(image, QRect(kFrame, row_top(5), width, 24), QColor(208, 224, 240)));
  const QColor face = view.colorColumnHd();
  const auto long_title =
      Ink(image, QRect(kFrame + 1, kFrame + 1, width - 2, title_height - 2), face);
  EXPECT_FALSE(long_title.empty());
  EXPECT_EQ(long_title,
            Ink(image, QRect(kFrame + width + 1, kFrame + 1, width - 2, title_height - 2), face));
}

}  // namespace
}  // namespace orvane
