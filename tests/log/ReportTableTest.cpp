#include "log/ReportTable.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "log/ClipboardText.h"

namespace orvane {
namespace {

class RecordingObserver : public ReportTableObserver {
 public:
  void TableChanged(TableChange change) override { changes.push_back(change); }
  std::vector<TableChange> changes;
};

std::vector<std::string> ShownColumn(const ReportTable& table, int column) {
  std::vector<std::string> shown;
  for (int position = 1; position <= table.GetNrRows(); ++position) {
    shown.emplace_back(table.GetDisplayedElem(column, position));
  }
  return shown;
}

// Five logged rows over three empty ones, as the log looks before its first Clear.
ReportTable LoggedTable() {
  ReportTable table(3, 8);
  const std::vector<std::string> songs{"good", "Bad", "apple", "_under", "Zebra"};
  for (int row = 1; row <= 5; ++row) {
    table.SetElem(1, row, "t" + std::to_string(row));
    table.SetElem(2, row, songs[static_cast<std::size_t>(row - 1)]);
  }
  return table;
}

TEST(ReportTableSort, SortsTheDisplayOrderWithEmptyRowsAtTheEndTheToggleBelongingToTheTable) {
  ReportTable table = LoggedTable();
  table.MarkRow(2);

  table.SortByColumn(2);
  // A to Z fold to a to z, so "_" (0x5F) comes before every letter, whatever its case.
  EXPECT_EQ(ShownColumn(table, 2),
            (std::vector<std::string>{"Zebra", "good", "Bad", "apple", "_under", "", "", ""}));
  EXPECT_EQ(table.Sort().column, 2);
  EXPECT_EQ(table.Sort().direction, SortDirection::kDescending);
  EXPECT_EQ(table.MarkedRow(), 2) << "the mark belongs to the entry";
  EXPECT_EQ(table.DisplayPositionOf(2), 3);
  EXPECT_EQ(table.GetElem(2, 2), "Bad") << "stored rows are untouched";

  table.SortByColumn(2);
  EXPECT_EQ(ShownColumn(table, 2),
            (std::vector<std::string>{"", "", "", "_under", "apple", "Bad", "good", "Zebra"}));
  EXPECT_EQ(table.Sort().direction, SortDirection::kAscending);

  table.SortByColumn(1);
  EXPECT_EQ(table.Sort().direction, SortDirection::kDescending) << "one toggle for all titles";
  EXPECT_EQ(ShownColumn(table, 1),
            (std::vector<std::string>{"t5", "t4", "t3", "t2", "t1", "", "", ""}));

  table.SetNrRows(table.GetNrRows() + 1);
  EXPECT_EQ(table.Sort().column, 0);
  EXPECT_EQ(ShownColumn(table, 2),
            (std::vector<std::string>{"good", "Bad", "apple", "_under", "Zebra", "", "", "", ""}));
  EXPECT_EQ(table.MarkedRow(), 2);
  table.SortByColumn(2);
  EXPECT_EQ(table.Sort().direction, SortDirection::kAscending) << "new rows keep the toggle";
  table.Clear();
  table.SortByColumn(2);
  EXPECT_EQ(table.Sort().direction, SortDirection::kDescending) << "Clear keeps the toggle";
}

TEST(ReportTableSort, ComparesUtf16CodeUnitsAndLeavesTinyTablesAlone) {
  ReportTable table(1, 4);
  table.SetElem(1, 1, "\xEF\xA4\x80");      // U+F900, one unit
  table.SetElem(1, 2, "\xF0\x9D\x84\x9E");  // U+1D11E, the surrogates D834 DD1E
  table.SetElem(1, 3, "\xC3\xA0me");        // U+00E0
  table.SetElem(1, 4, "\xC3\x89mile");      // U+00C9: only A to Z are folded, so it stays below
  table.SortByColumn(1);
  table.SortByColumn(1);
  EXPECT_EQ(ShownColumn(table, 1), (std::vector<std::string>{"\xC3\x89mile", "\xC3\xA0me",
                                                             "\xF0\x9D\x84\x9E", "\xEF\xA4\x80"}));

  ReportTable single(1, 1);
  single.SetElem(1, 1, "only");
  single.SortByColumn(1);
  EXPECT_EQ(single.StoredRowAt(1), 1);
  ReportTable empty(1, 0);
  empty.SortByColumn(1);
  EXPECT_EQ(empty.StoredRowAt(1), 0);
}

TEST(CombSort, OrdersRowsAsTheDescribedPassesDo) {
  struct Case {
    std::vector<std::uint32_t> ranks;
    SortDirection direction;
    std::vector<std::int32_t> order;  // worked out pass by pass, apart from this code
  };
  const std::vector<Case> cases = {
      // The last exchange comes in a gap-1 pass, so one more pass is needed to finish.
      {{2, 0, 3, 4, 5, 6, 1}, SortDirection::kAscending, {1, 6, 0, 2, 3, 4, 5}},
      // Equal ranks end in the order that the gaps 6, 4, 3, 2, 1 (then 10, 7, 5, 3, 2, 1) leave.
      {{1, 0, 1, 2, 0, 0, 2, 0, 1}, SortDirection::kAscending, {4, 1, 5, 7, 0, 2, 8, 3, 6}},
      {{0, 1, 1, 1, 1, 1, 1, 2, 0, 0, 2, 0, 2},
       SortDirection::kAscending,
       {0, 11, 9, 8, 4, 5, 6, 2, 3, 1, 10, 7, 12}},
      {{1, 1, 2, 1, 0, 1, 2, 0, 2}, SortDirection::kDescending, {6, 8, 2, 3, 1, 5, 0, 7, 4}},
  };
  for (const Case& c : cases) {
    std::vector<std::int32_t> order(c.ranks.size());
    std::iota(order.begin(), order.end(), 0);
    CombSort(order, c.ranks, c.direction);
    EXPECT_EQ(order, c.order) << ::testing::PrintToString(c.ranks);
  }
}

TEST(ReportTableCells, KeepsWritesInsideTheTableCutToTheirLimits) {
  ReportTable table(3, 2);
  table.SetElem(0, 1, "x");
  table.SetElem(4, 1, "x");
  table.SetElem(1, 3, "x");
  table.SetElem(1, 0, "x");
  EXPECT_EQ(table.GetElem(1, 3), "");
  EXPECT_EQ(table.GetElem(4, 1), "");
  EXPECT_EQ(table.GetElem(0, 0), "");
  table.SetColName(4, "ignored");
  EXPECT_EQ(table.GetColName(4), "");

  // 254 ASCII bytes and a two-byte "é": the whole of "é" does not fit, so it goes.
  const std::string almost(254, 'a');
  table.SetElem(1, 1, almost + "\xC3\xA9" + "tail");
  EXPECT_EQ(table.GetElem(1, 1), almost);
  table.SetElem(2, 1, std::string(300, 'b'));
  EXPECT_EQ(table.GetElem(2, 1).size(), 255u);

  std::string title;
  for (int i = 0; i < 60; ++i) {
    title += "\xC3\xB8";  // "ø": characters, not bytes, count for titles
  }
  table.SetColName(1, title);
  EXPECT_EQ(table.GetColName(1), title.substr(0, 100));
}

TEST(ReportTableRows, ResizingKeepsTheRowsThatStayAndClearEmptiesEverything) {
  ReportTable table(3, 12);
  for (int row = 1; row <= 12; ++row) {
    table.SetElem(1, row, std::to_string(row));
  }
  table.MarkRow(11);
  table.SetNrRows(9);
  EXPECT_EQ(table.MarkedRow(), 0) << "the marked row was discarded";
  table.SetNrRows(25);
  EXPECT_EQ(table.GetElem(1, 9), "9");
  EXPECT_EQ(table.GetElem(1, 10), "") << "rows added again come back empty";
  EXPECT_EQ(table.GetElem(1, 12), "");
  table.SetNrRows(-3);
  EXPECT_EQ(table.GetNrRows(), 0);
  table.SetNrRows(2);
  EXPECT_EQ(table.GetElem(1, 1), "") << "an empty table keeps nothing";
  table.SetElem(1, 1, "1");

  table.SetColName(2, "Song");
  table.MarkRow(1);
  table.SortByColumn(1);
  table.Clear();
  EXPECT_EQ(table.GetNrRows(), 2);
  EXPECT_EQ(table.GetElem(1, 1), "");
  EXPECT_EQ(table.GetColName(2), "C-2");
  EXPECT_EQ(table.GetColName(3), "C-3");
  EXPECT_EQ(table.MarkedRow(), 0);
  EXPECT_EQ(table.Sort().column, 0);
}

TEST(ReportTableRows, RowsThatFindNoMemoryAreCountedButStayEmpty) {
  ReportTable table(3, 4, /*row_limit=*/10);
  table.SetNrRows(12);
  table.SetElem(1, 10, "fits");
  table.SetElem(1, 11, "dropped");
  EXPECT_EQ(table.GetNrRows(), 12);
  EXPECT_EQ(table.GetElem(1, 10), "fits");
  EXPECT_EQ(table.GetElem(1, 11), "");
  const std::string text = CopyText(table, WholeLogRange(table));
  EXPECT_EQ(text.substr(text.size() - 10), "\t\t\t\t\n\t\t\t\t\n");
}

TEST(ReportTableObserver, HearsEveryChangeAtOnce) {
  ReportTable table(3, 4);
  RecordingObserver observer;
  table.SetObserver(&observer);
  table.SetElem(1, 1, "a");
  table.SetElem(1, 9, "outside");
  table.SetColName(1, "Time");
  table.SetNrRows(5);
  table.SortByColumn(1);
  table.MarkRow(1);
  table.Clear();
  EXPECT_EQ(observer.changes, (std::vector<TableChange>{
                                  TableChange::kCell, TableChange::kTitle, TableChange::kRowCount,
                                  TableChange::kOrder, TableChange::kMark, TableChange::kCleared}));
}

TEST(ClipboardText, ListsTheChosenBlockInDisplayOrder) {
  ReportTable table(2, 3);
  table.SetColName(1, "A");
  table.SetColName(2, "B");
  table.SetElem(1, 1, "x");
  table.SetElem(2, 3, "z");
  table.SortByColumn(2);
  EXPECT_EQ(CopyText(table, CopyRange{2, 1, 3, 2, true}), "B\t\n\nz\t\n\t\n");
  // The comb sort left the two rows with empty keys exchanged.
  EXPECT_EQ(CopyText(table, CopyRange{1, 1, 2, 3, false}), "\tz\n\t\nx\t\n");
}

}  // namespace
}  // namespace orvane
