#include <gmock/gmock.h>
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "progress/PastRuns.h"
#include "progress/TrialTableReader.h"
#include "tests/progress/HandMadeTable.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

void Write(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// A folder of the test's own, removed with what it holds.
class Folder {
 public:
  Folder()
      : path_(fs::temp_directory_path() /
              ("orvane-tables-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
    fs::create_directories(path_);
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// What is not a regular file of at most the limit is told apart before a byte of it is read; a
// table larger than one piece of a reading comes out as its text does, whatever its name's bytes.
TEST(LoadTrialTable, RefusesWhatIsNotARegularFileWithinTheLimitAndReadsAnyOtherInPieces) {
  const Folder folder;
  std::vector<testing::HandRow> rows;
  for (int i = 0; i < 40000; ++i) {
    rows.push_back({i % 3 == 0 ? "bad" : "good", i % 7 == 0 ? "Yes" : "No",
                    i % 7 == 0 ? std::to_string(100 + i % 900) : "", "", ""});
  }
  const std::string text = testing::TrialTableText(rows);
  ASSERT_GT(text.size(), 2u << 20) << "a line or more falls across pieces";
#if defined(_WIN32)
  const fs::path table = folder.path() / L"caf\u00E9 trials.tsv";
  const std::string shown = "caf\u00E9 trials.tsv";
#else
  const fs::path table = folder.path() / "caf\xE9 trials.tsv";
  const std::string shown = "caf\uFFFD trials.tsv";
#endif
  Write(table, text);
  fs::create_directory(folder.path() / "runs");
  Write(folder.path() / "huge.tsv", "");
  fs::resize_file(folder.path() / "huge.tsv", kMostTableBytes + 1);  // sparse: no disk taken
  Write(folder.path() / "zeros.tsv", "");
  fs::resize_file(folder.path() / "zeros.tsv", 4 << 20);
  std::vector<fs::path> files = {folder.path() / "runs",     folder.path() / "runs" / "",
                                 folder.path() / "huge.tsv", folder.path() / "zeros.tsv",
                                 folder.path() / "gone.tsv", table};
  std::vector<std::string> told = {
      "runs is a folder, not a trial table.", "runs is a folder, not a trial table.",
      "huge.tsv is larger than 1 GiB, the most a trial table is read to: it is not read.",
      "zeros.tsv is not a trial table: its first line runs past 64 KiB.",
      "gone.tsv cannot be opened: there is no such file."};
#if !defined(_WIN32)
  ASSERT_EQ(mkfifo((folder.path() / "pipe").c_str(), 0600), 0);
  files.insert(files.end() - 1, {"/dev/zero", folder.path() / "pipe"});
  told.insert(told.end(), {"zero is a device, not a file: it is not read.",
                           "pipe is a pipe, not a file: it is not read."});
#endif

  const PastRuns past = LoadPastRuns(files);
  EXPECT_THAT(past.problems, ElementsAreArray(told));
  ASSERT_EQ(past.runs.size(), 1u);
  EXPECT_EQ(past.runs[0].name, shown);
  const TrialTable whole = ReadTrialTable(text, shown);
  ASSERT_EQ(past.runs[0].rows.size(), whole.rows.size());
  for (std::size_t i = 0; i < whole.rows.size(); ++i) {
    const TrialRow& got = past.runs[0].rows[i];
    ASSERT_EQ(got.kind, whole.rows[i].kind) << "row " << i;
    ASSERT_EQ(got.escaped, whole.rows[i].escaped) << "row " << i;
    ASSERT_EQ(got.latency_ms, whole.rows[i].latency_ms) << "row " << i;
  }

  // A reading no longer wanted stops, with what it had.
  int asked = 0;
  const TrialTable cut = LoadTrialTable(table, [&asked] { return ++asked < 2; });
  EXPECT_LT(cut.rows.size(), whole.rows.size());
  EXPECT_THAT(LoadPastRuns({table, table}, [] { return false; }).runs, ElementsAre());
}

}  // namespace
}  // namespace orvane
