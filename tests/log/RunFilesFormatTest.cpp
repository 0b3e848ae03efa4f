#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

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

// The page's code examples by language, "python" and "r".
std::map<std::string, std::string> Examples(const std::string& page) {
  std::map<std::string, std::string> examples;
  const std::regex block("```(python|r)\\n([^`]*)```");
  for (auto code = std::sregex_iterator(page.begin(), page.end(), block);
       code != std::sregex_iterator(); ++code) {
    examples[(*code)[1]] += (*code)[2];
  }
  return examples;
}

// A run's trial table as the program writes it, in a folder of the test's own: 23 decisions of 21
// songs. By each song's first decision, in blocks of ten songs: bad 1 of 4 and neutral 3 of 6
// escaped, then bad 4 of 5 and neutral 0 of 5, then one bad song that escaped. Two bad songs
// have an escape at their second decision, after their puff.
class WrittenTable {
 public:
  WrittenTable()
      : root_(fs::temp_directory_path() /
              ("run-files-format-" + std::to_string(QCoreApplication::applicationPid()))) {
    fs::remove_all(root_);
    // Kind, decision and escape of each line.
    const std::vector<std::string> lines = {"b1Y", "b1N", "b2Y", "g1Y", "g1N", "g1N", "b1N", "b2Y",
                                            "g1Y", "g1N", "b1N", "g1Y", "b1Y", "g1N", "b1Y", "b1N",
                                            "g1N", "b1Y", "g1N", "g1N", "b1Y", "g1N", "b1Y"};
    record::TrialRow row;
    row.logged_at = {2024, 3, 21, 14, 5, 9, 250, 3600};
    row.run_milliseconds = 3721450;
    row.song_file = "a\ttab, a \"quote\" and a line\nend.wav";
    row.playback.error = "a\ttab and a line\nend";
    row.song_folder = "C:\\kro";
    row.settings =
        record::SettingsTexts{"2.0", "1.0", "0.100", "50", "random", "10", "bad song", "7"};
    row.playback.stream = "ready";
    {
      // Closed before the folder is removed, which Windows refuses while a file in it is open.
      NoNotices notices;
      RunFolder folder(root_, {2024, 3, 21, 14, 5, 9, 250, 3600}, notices);
      record::TrialTable table(folder);
      for (const std::string& line : lines) {
        ++row.trial;
        row.kind = line[0] == 'b' ? kBadSong : kNeutralSong;
        row.song_decision = line[1] - '0';
        row.on_perch = line[2] == 'N';
        row.start_tick = 100 * row.trial;
        row.decision_tick = row.start_tick + 20;
        row.left_tick = row.on_perch ? std::nullopt : std::optional(row.start_tick + 7);
        row.left_clock_ms = 733;
        row.after_puff = *row.song_decision > 1;
        table.Append(row);
      }
      path_ = table.Path();
    }
  }
  ~WrittenTable() { fs::remove_all(root_); }

  const fs::path& Path() const { return path_; }

 private:
  fs::path root_;
  fs::path path_;
};

// The format page's examples read a trial table as the program writes it: the columns they name
// exist, and the file parses as tab-separated text with as many fields on every line as in its
// header, whatever the texts in its fields.
TEST(RunFilesFormat, ThePagesExamplesNameColumnsOfATableThatParsesWithEqualFields) {
  const WrittenTable written;
  const testing::TabSeparated read = testing::ReadTabSeparated(written.Path());
  EXPECT_THAT(read.columns, ElementsAreArray(trial_table::kColumns));
  ASSERT_EQ(read.rows.size(), 23u);
  for (const auto& row : read.rows) {
    EXPECT_EQ(row.size(), read.columns.size());
  }
  EXPECT_TRUE(read.ends_with_line_end);
  EXPECT_EQ(read.At(0, trial_table::kSongFile), "a\\x09tab, a \"quote\" and a line\\x0Aend.wav");
  EXPECT_EQ(read.At(0, trial_table::kPlayerError), "a tab and a line end");
  EXPECT_EQ(read.At(0, trial_table::kLoggedAt), "2024-03-21T14:05:09.250+01:00");
  EXPECT_EQ(read.At(0, trial_table::kRunSeconds), "3721.450");
  EXPECT_EQ(read.At(0, trial_table::kLatencyMs), "700");
  EXPECT_EQ(read.At(0, trial_table::kLatencyClockMs), "733");
  EXPECT_EQ(read.At(1, trial_table::kLatencyMs), "");
  EXPECT_EQ(read.At(1, trial_table::kLatencyClockMs), "") << "only beside an escape's latency";
  EXPECT_EQ(read.At(0, trial_table::kPuffHeld), "") << "no puff, no value";
  EXPECT_EQ(read.At(1, trial_table::kEscaped), "No");
  EXPECT_EQ(read.At(2, trial_table::kSongDecision), "2");
  EXPECT_EQ(read.At(2, trial_table::kAfterPuff), "1");

  const std::string page = ReadAll(ORVANE_FORMAT_PAGE);
  // Every column is described, under its name.
  for (const std::string_view column : trial_table::kColumns) {
    EXPECT_THAT(page, HasSubstr("| `" + std::string(column) + "` |"));
  }
  // The examples' code: the columns they read must be the file's; those they make are their own.
  const std::regex named("\\[\\[?\"([a-z_]+)\"\\]\\]?( (=|<-) )?");
  const std::map<std::string, std::string> examples = Examples(page);
  EXPECT_EQ(examples.size(), 2u) << "one for pandas, one for R";
  for (const auto& [language, text] : examples) {
    std::set<std::string> made;
    std::set<std::string> read_names;
    for (auto name = std::sregex_iterator(text.begin(), text.end(), named);
         name != std::sregex_iterator(); ++name) {
      ((*name)[2].matched ? made : read_names).insert((*name)[1]);
    }
    EXPECT_THAT(read_names, ::testing::Contains("escaped"));
    for (const std::string& name : read_names) {
      if (!made.contains(name)) {
        EXPECT_THAT(read.columns, ::testing::Contains(name)) << language << " example";
      }
    }
    EXPECT_THAT(text, HasSubstr(" trials.tsv\"")) << "it reads the trial table";
  }
}

// The first `program` on the search path that runs `probe` without an error.
std::optional<QString> ProgramThatRuns(const QString& program, const QStringList& probe) {
  for (const QString& folder : qEnvironmentVariable("PATH").split(QDir::listSeparator())) {
    const QString found = QStandardPaths::findExecutable(program, {folder});
    if (found.isEmpty()) {
      continue;
    }
    QProcess process;
    process.start(found, probe);
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0) {
      return found;
    }
  }
  return std::nullopt;
}

// Runs a page's example beside the table, then `report`, which prints each block's rate by kind
// as "block, kind, rate" lines; what it printed, or a failure.
std::string RunExample(const QString& program, const std::string& example,
                       const std::string& report, const std::string& script_name) {
  const WrittenTable written;
  const fs::path script = written.Path().parent_path() / script_name;
  std::ofstream(script, std::ios::binary) << example << report;
  QProcess process;
  process.setWorkingDirectory(QString::fromStdU16String(written.Path().parent_path().u16string()));
  process.start(program, {QString::fromStdU16String(script.u16string())});
  if (!process.waitForFinished(120000)) {
    ADD_FAILURE() << "the example did not finish: " << process.errorString().toStdString();
    return {};
  }
  EXPECT_EQ(process.exitCode(), 0);
  EXPECT_EQ(process.readAllStandardError().toStdString(), "") << "no error, no warning";
  const std::string printed = process.readAllStandardOutput().toStdString();
  const std::size_t report_start = printed.find("block\tkind\trate\n");
  return report_start == std::string::npos ? printed : printed.substr(report_start);
}

// Rates per block of ten songs by each song's first decision, as WrittenTable describes them;
// the third block has no neutral song.
constexpr const char* kRatesByBlockAndKind =
    "block\tkind\trate\n"
    "1\tbad\t0.250\n1\tgood\t0.500\n"
    "2\tbad\t0.800\n2\tgood\t0.000\n"
    "3\tbad\t1.000\n3\tgood\t-\n";

TEST(RunFilesFormat, ThePandasExampleGivesEachKindsEscapeRatePerBlockOfSongs) {
  const std::optional<QString> python = ProgramThatRuns(
      QStringLiteral("python3"), {QStringLiteral("-c"), QStringLiteral("import pandas")});
  if (!python) {
    GTEST_SKIP() << "no python3 with pandas on the search path to run the example with";
  }
  const std::string report =
      "\nprint(\"block\\tkind\\trate\")\n"
      "for block, kinds in rate.iterrows():\n"
      "    for kind, value in kinds.items():\n"
      "        print(block, kind, \"-\" if pd.isna(value) else f\"{value:.3f}\", sep=\"\\t\")\n";
  EXPECT_EQ(
      RunExample(*python, Examples(ReadAll(ORVANE_FORMAT_PAGE))["python"], report, "example.py"),
      kRatesByBlockAndKind);
}

TEST(RunFilesFormat, TheRExampleGivesEachKindsEscapeRatePerBlockOfSongs) {
  const std::optional<QString> r =
      ProgramThatRuns(QStringLiteral("Rscript"), {QStringLiteral("-e"), QStringLiteral("0")});
  if (!r) {
    GTEST_SKIP() << "no Rscript on the search path to run the example with";
  }
  const std::string report =
      "\ncat(\"block\\tkind\\trate\\n\")\n"
      "for (b in rownames(rate)) for (k in colnames(rate)) {\n"
      "  v <- rate[b, k]\n"
      "  cat(b, k, if (is.na(v)) \"-\" else sprintf(\"%.3f\", v), sep = \"\\t\")\n"
      "  cat(\"\\n\")\n"
      "}\n";
  EXPECT_EQ(RunExample(*r, Examples(ReadAll(ORVANE_FORMAT_PAGE))["r"], report, "example.R"),
            kRatesByBlockAndKind);
}

}  // namespace
}  // namespace orvane
