#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/record/TrialTable.h"
#include "progress/Moment.h"
#include "progress/TrialTableReader.h"
#include "tests/progress/HandMadeTable.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The record's own lines read back: an escape, a bird that left and came back, and an escape at a
// song's second decision, after its puff; one line with a flag that is neither 1 nor 0.
TEST(TrialTableReader, ReadsEveryColumnTheChartsUseAsTheRecordWritesIt) {
  record::TrialRow escape;
  escape.trial = 7;
  escape.kind = kBadSong;
  escape.song_file = "alarm.wav";
  escape.start_tick = 100;
  escape.decision_tick = 104;
  escape.left_tick = 103;
  escape.left_clock_ms = 412;
  escape.settings = {"0.4", "1.0", "0.150", "0", "random", "10", "bad song", "7"};
  escape.song_decision = 1;
  record::TrialRow returned = escape;
  returned.trial = 8;
  returned.kind = kNeutralSong;
  returned.song_file = "calm.wav";
  returned.returned_tick = 104;
  returned.on_perch = true;
  record::TrialRow after_puff = escape;
  after_puff.trial = 9;
  after_puff.song_decision = 2;
  after_puff.after_puff = true;
  std::string text = record::TrialTableHeader() + record::TrialTableLine(escape) +
                     record::TrialTableLine(returned) + record::TrialTableLine(after_puff);
  std::string bad_flag = record::TrialTableLine(after_puff);
  bad_flag.replace(bad_flag.size() - 2, 1, "y");
  text += bad_flag;

  const TrialTable table = ReadTrialTable(text, "run.tsv");
  EXPECT_FALSE(table.latencies_are_first_leaves);
  EXPECT_THAT(
      table.problems,
      ElementsAre("run.tsv, line 5: after_puff is \"y\", not 1 or 0; the line is left out."));
  ASSERT_EQ(table.rows.size(), 3u);
  const TrialRow& first = table.rows[0];
  EXPECT_EQ(first.trial, 7);
  EXPECT_EQ(first.song_file, "alarm.wav");
  EXPECT_EQ(first.latency_ms, 300);
  EXPECT_EQ(first.left_ms, 300);
  EXPECT_EQ(first.latency_clock_ms, 412);
  EXPECT_FALSE(first.returned);
  EXPECT_EQ(first.song_decision, 1);
  EXPECT_FALSE(first.after_puff);
  EXPECT_EQ(first.puff_delay_s, 0.4);
  EXPECT_EQ(first.puff_duration_s, 1.0);
  EXPECT_EQ(first.odds, 0.15);
  const TrialRow& second = table.rows[1];
  EXPECT_EQ(second.song_file, "calm.wav");
  EXPECT_FALSE(second.latency_ms) << "left and came back: no escape latency";
  EXPECT_FALSE(second.latency_clock_ms);
  EXPECT_EQ(second.left_ms, 300);
  EXPECT_TRUE(second.returned);
  const TrialRow& third = table.rows[2];
  EXPECT_EQ(third.song_decision, 2);
  EXPECT_TRUE(third.after_puff);
}

TEST(TrialTableReader, ReadsColumnsByNameAndAnOldTablesLatenciesAsFirstLeaves) {
  // Columns in another order, one the charts do not know, CR LF line ends, and none of the columns
  // that came with returned_tick: its latencies are first leaves, whether or not the bird came
  // back, and what the table lacks keeps its default.
  const std::string text =
      "escaped\tnew_column\tsong_kind\trun_seconds\tlatency_ms\tlogged_at\r\n"
      "No\tx\tgood\t12.500\t\t2024-03-21T14:05:09.250+01:00\r\n"
      "Yes\tx\tbad\t15.000\t700\t2024-03-21T14:05:11.750+01:00\r\n";
  const TrialTable table = ReadTrialTable(text, "run.tsv");
  ASSERT_TRUE(table.is_trial_table);
  EXPECT_TRUE(table.latencies_are_first_leaves);
  EXPECT_THAT(table.problems, IsEmpty());
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0].kind, kNeutralSong);
  EXPECT_FALSE(table.rows[0].escaped);
  EXPECT_FALSE(table.rows[0].left_ms);
  EXPECT_EQ(table.rows[1].kind, kBadSong);
  EXPECT_TRUE(table.rows[1].escaped);
  EXPECT_FALSE(table.rows[1].latency_ms);
  EXPECT_EQ(table.rows[1].left_ms, 700);
  EXPECT_FALSE(table.rows[1].trial);
  EXPECT_EQ(table.rows[1].song_file, "");
  EXPECT_EQ(table.rows[1].song_decision, 1);
  EXPECT_FALSE(table.rows[1].odds);

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
