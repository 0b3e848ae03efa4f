#include <QCoreApplication>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "log/RunFolder.h"
#include "log/record/TrialTable.h"
#include "log/record/TrialTableFormat.h"
#include "tests/support/TabSeparated.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

class NoNotices final : public NoticeBoard {
 public:
  void Post(std::string text) override { ADD_FAILURE() << text; }
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The format page's examples read a trial table as the program writes it: the columns they name
// exist, and the file parses as tab-separated text with as many fields on every line as in its
// header, whatever the texts in its fields.
TEST(RunFilesFormat, ThePagesExamplesNameColumnsOfATableThatParsesWithEqualFields) {
  const fs::path root = fs::temp_directory_path() /
                        ("run-files-format-" + std::to_string(QCoreApplication::applicationPid()));
  fs::remove_all(root);
  record::TrialRow escaped;
  escaped.trial = 1;
  escaped.logged_at = {2024, 3, 21, 14, 5, 9, 250, 3600};
  escaped.run_milliseconds = 3721450;
  escaped.kind = kBadSong;
  escaped.song_file = "a\ttab, a \"quote\" and a line\nend.wav";
  escaped.playback.error = "a\ttab and a line\nend";
  escaped.song_folder = "C:\\kro";
  escaped.start_tick = 100;
  escaped.decision_tick = 120;
  escaped.left_tick = 107;
  escaped.settings =
      record::SettingsTexts{"2.0", "1.0", "0.100", "50", "random", "10", "bad song", "7"};
  escaped.playback.stream = "ready";
  record::TrialRow stayed = escaped;
  stayed.trial = 2;
  stayed.on_perch = true;
  stayed.left_tick.reset();
  stayed.puff_on = true;
  stayed.logged_at.utc_offset_seconds = -16200;
  fs::path written;
  {
    // Closed before the folder is removed, which Windows refuses while a file in it is open.
    NoNotices notices;
    RunFolder folder(root, {2024, 3, 21, 14, 5, 9, 250, 3600}, notices);
    record::TrialTable table(folder);
    table.Append(escaped);
    table.Append(stayed);
    written = table.Path();
  }

  const testing::TabSeparated read = testing::ReadTabSeparated(written);
  EXPECT_THAT(read.columns, ElementsAreArray(trial_table::kColumns));
  ASSERT_EQ(read.rows.size(), 2u);
  for (const auto& row : read.rows) {
    EXPECT_EQ(row.size(), read.columns.size());
  }
  EXPECT_TRUE(read.ends_with_line_end);
  EXPECT_EQ(read.At(0, trial_table::kSongFile), "a\\x09tab, a \"quote\" and a line\\x0Aend.wav");
  EXPECT_EQ(read.At(0, trial_table::kPlayerError), "a tab and a line end");
  EXPECT_EQ(read.At(0, trial_table::kLoggedAt), "2024-03-21T14:05:09.250+01:00");
  EXPECT_EQ(read.At(1, trial_table::kLoggedAt), "2024-03-21T14:05:09.250-04:30");
  EXPECT_EQ(read.At(0, trial_table::kRunSeconds), "3721.450");
  EXPECT_EQ(read.At(0, trial_table::kLatencyMs), "700");
  EXPECT_EQ(read.At(1, trial_table::kLatencyMs), "");
  EXPECT_EQ(read.At(0, trial_table::kPuffHeld), "") << "no puff, no value";
  EXPECT_EQ(read.At(1, trial_table::kPuffHeld), "0");
  EXPECT_EQ(read.At(1, trial_table::kEscaped), "No");

  const std::string page = ReadAll(ORVANE_FORMAT_PAGE);
  // Every column is described, under its name.
  for (const std::string_view column : trial_table::kColumns) {
    EXPECT_THAT(page, HasSubstr("| `" + std::string(column) + "` |"));
  }
  // The examples' code: the columns they read must be the file's; those they make are their own.
  const std::regex block("```(python|r)\\n([^`]*)```");
  const std::regex named("\\[\\[?\"([a-z_]+)\"\\]\\]?( (=|<-) )?");
  int examples = 0;
  for (auto code = std::sregex_iterator(page.begin(), page.end(), block);
       code != std::sregex_iterator(); ++code, ++examples) {
    const std::string text = (*code)[2];
    std::set<std::string> made;
    std::set<std::string> read_names;
    for (auto name = std::sregex_iterator(text.begin(), text.end(), named);
         name != std::sregex_iterator(); ++name) {
      ((*name)[2].matched ? made : read_names).insert((*name)[1]);
    }
    EXPECT_THAT(read_names, ::testing::Contains("escaped"));
    for (const std::string& name : read_names) {
      if (!made.contains(name)) {
        EXPECT_THAT(read.columns, ::testing::Contains(name)) << (*code)[1] << " example";
      }
    }
    EXPECT_THAT(text, HasSubstr(" trials.tsv\"")) << "it reads the trial table";
  }
  EXPECT_EQ(examples, 2) << "one for pandas, one for R";
  fs::remove_all(root);
}

}  // namespace
}  // namespace orvane
