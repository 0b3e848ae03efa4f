#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "progress/Moment.h"
#include "progress/TrialTableReader.h"
#include "tests/progress/HandMadeTable.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(TrialTableReader, ReadsColumnsByNameAndTellsTheRunsStart) {
  // Columns in another order, one the charts do not know, and CR LF line ends.
  const std::string text =
      "escaped\tnew_column\tsong_kind\trun_seconds\tlatency_ms\tlogged_at\r\n"
      "No\tx\tgood\t12.500\t\t2024-03-21T14:05:09.250+01:00\r\n"
      "Yes\tx\tbad\t15.000\t700\t2024-03-21T14:05:11.750+01:00\r\n";
  const TrialTable table = ReadTrialTable(text, "run.tsv");
  ASSERT_TRUE(table.is_trial_table);
  EXPECT_THAT(table.problems, IsEmpty());
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0].kind, kNeutralSong);
  EXPECT_FALSE(table.rows[0].escaped);
  EXPECT_FALSE(table.rows[0].latency_ms);
  EXPECT_EQ(table.rows[1].kind, kBadSong);
  EXPECT_TRUE(table.rows[1].escaped);
  EXPECT_EQ(table.rows[1].latency_ms, 700);

  const std::optional<Moment> start = RunStartOf(table.rows[0]);
  ASSERT_TRUE(start);
  EXPECT_EQ(LoggedAtText(*start), "2024-03-21T14:04:56.750+01:00");
  EXPECT_EQ(DateAndMinuteText(*start), "2024-03-21 14:04");
  EXPECT_EQ(start->utc_ms, ParseLoggedAt("2024-03-21T13:04:56.750Z")->utc_ms);
  EXPECT_FALSE(ParseLoggedAt("2023-02-29T10:00:00.000+01:00")) << "no such day";
  EXPECT_FALSE(ParseLoggedAt("2024-03-21 14:05:09")) << "no offset";
}

TEST(TrialTableReader, TellsEachUnreadableLineByFileAndNumberAndKeepsTheRest) {
  std::string text = testing::TrialTableText({{"bad", "Yes", "500", "", ""},
                                              {"bad", "Maybe", "", "", ""},
                                              {"good", "No", "soon", "", ""},
                                              {"good", "No", "", "yesterday", ""},
                                              {"good", "No", "", "", ""}});
  text += "\n6\t2024-03-21T14:05:09.250+01:00\t3.5\tbad";  // cut short, without its LF
  const TrialTable table = ReadTrialTable(text, "cut.tsv");
  EXPECT_TRUE(table.is_trial_table);
  EXPECT_EQ(table.rows.size(), 2u);
  EXPECT_THAT(
      table.problems,
      ElementsAre(
          "cut.tsv, line 3: escaped is \"Maybe\", not \"Yes\" or \"No\"; the line is left out.",
          "cut.tsv, line 4: the latency \"soon\" is not a number of milliseconds; the line is left "
          "out.",
          "cut.tsv, line 5: the time \"yesterday\" is not a date and time; the line is left out.",
          "cut.tsv, line 8: 4 fields where the header has 32; the line is left out."))
      << "the empty line 7 is passed over";

  const TrialTable journal = ReadTrialTable("Time\tSong\tEscaped\t\t\n\n", "journal.tsv");
  EXPECT_FALSE(journal.is_trial_table);
  EXPECT_THAT(journal.problems,
              ElementsAre("journal.tsv is not a trial table: its first line has no column "
                          "\"song_kind\", \"escaped\", \"latency_ms\", \"logged_at\", "
                          "\"run_seconds\"."));
  EXPECT_THAT(ReadTrialTable("", "empty.tsv").problems,
              ElementsAre("empty.tsv is not a trial table: it is empty."));
}

}  // namespace
}  // namespace orvane
