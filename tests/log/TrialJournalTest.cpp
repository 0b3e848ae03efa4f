#include "log/TrialJournal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#endif

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "log/JournalName.h"
#include "log/RunFile.h"
#include "log/record/TrialTable.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string kTitle = "Time\tSong\tEscaped\t\t\n\n";
const LocalDateTime kRunStart{2024, 3, 21, 14, 5, 9, 250};

class RecordingNotices final : public NoticeBoard {
 public:
  void Post(std::string text) override { texts.push_back(std::move(text)); }
  std::vector<std::string> texts;
};

std::string Row(int trial) {
  return "21/03/2024 14:05:" + std::to_string(10 + trial) + "\tbad\tNo\t\t\n";
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TrialJournalTest : public ::testing::Test {
 public:
  TrialJournalTest()
      : root_(fs::temp_directory_path() /
              ("journal-test-" + std::to_string(QCoreApplication::applicationPid()))) {
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~TrialJournalTest() override {
    fs::permissions(root_, fs::perms::owner_all);
    fs::remove_all(root_);
  }

  fs::path Folder() const { return root_ / "Orvane"; }
  fs::path FirstFile() const { return Folder() / "2024-03-21 14.05.09.tsv"; }

  fs::path root_;
  RecordingNotices notices_;
};

TEST(JournalName, IsTheRunsStartWithACountForEachFurtherTry) {
  EXPECT_EQ(RunFileStem(kRunStart), "2024-03-21 14.05.09");
  EXPECT_EQ(RunFileStem({2025, 1, 2, 3, 4, 5, 0}, 2), "2025-01-02 03.04.05 (2)");
}

// The file appears with the first row, in a folder made for it, under the first stem that no
// file of an earlier run holds, which the run's other files share; each row is with the system
// when Append returns.
TEST_F(TrialJournalTest, TheFileIsMadeAtTheFirstRowAndEveryRowIsWrittenBeforeAppendReturns) {
  {
    RunFolder unused_folder(Folder(), kRunStart, notices_);
    TrialJournal unused(unused_folder);
  }
  EXPECT_FALSE(fs::exists(Folder())) << "a run without trials leaves nothing";

  fs::create_directories(Folder());
  std::ofstream(FirstFile()) << "an earlier run's file";
  std::ofstream(Folder() / "2024-03-21 14.05.09 (2) events.tsv") << "another run's events";
  RunFolder folder(Folder(), kRunStart, notices_);
  TrialJournal journal(folder);
  record::TrialTable table(folder);
  EXPECT_TRUE(journal.Path().empty());
  std::string expected = kTitle;
  for (int trial = 1; trial <= 3; ++trial) {
    journal.Append(kTitle, Row(trial));
    expected += Row(trial);
    EXPECT_EQ(ReadAll(Folder() / "2024-03-21 14.05.09 (3).tsv"), expected);
  }
  table.Append(record::TrialRow{});
  EXPECT_EQ(journal.Path(), Folder() / "2024-03-21 14.05.09 (3).tsv");
  EXPECT_EQ(table.Path(), Folder() / "2024-03-21 14.05.09 (3) trials.tsv");
  EXPECT_EQ(ReadAll(FirstFile()), "an earlier run's file");
  EXPECT_EQ(journal.Files(), 1);
  EXPECT_TRUE(notices_.texts.empty());
}

#if !defined(_WIN32)
// A file that keeps only the lines not yet written (the event log) cannot write a lost file
// again: the new one starts with its head and tells how many lines it lacks. Lines that pile up
// while nothing can be written are dropped beyond a limit, oldest first, and told the same way.
TEST_F(TrialJournalTest, AFileKeepingOnlyUnwrittenLinesTellsWhatANewOneLacks) {
  RunFolder folder(Folder(), kRunStart, notices_);
  RunFile file(
      folder, " events.tsv", "event log", RunFile::Keep::kUnwrittenLines,
      [](std::uint64_t lost) { return "lost " + std::to_string(lost) + "\n"; }, 100);
  file.SetHead("head\n");
  file.Append("a1\na2\n");
  fs::remove(file.Path());
  file.Append("b1\n");  // meets the removal
  file.Append("b2\n");
  EXPECT_EQ(ReadAll(file.Path()), "head\nlost 2\nb1\nb2\n");

  fs::remove_all(Folder());
  std::ofstream(Folder()) << "not a folder";
  for (int line = 10; line < 40; ++line) {
    file.Append("c" + std::to_string(line) + "\n");
  }
  fs::remove(Folder());
  file.Append("d\n");
  const std::string text = ReadAll(file.Path());
  ASSERT_THAT(text, StartsWith("head\nlost "));
  std::istringstream lines(text.substr(std::string("head\nlost ").size()));
  int lost = 0;
  lines >> lost;
  const std::string kept = text.substr(text.find('\n', 5) + 1);
  EXPECT_LE(kept.size(), 100u) << "the waiting lines were kept within the limit";
  std::string expected;
  // The removed file's three lines, then the oldest of the waiting ones.
  for (int line = 10 + lost - 3; line < 40; ++line) {
    expected += "c" + std::to_string(line) + "\n";
  }
  EXPECT_GT(lost, 3);
  EXPECT_EQ(kept, expected + "d\n");
  EXPECT_EQ(notices_.texts.size(), 2u) << "once for each spell of trouble";
}
#endif

// Each way the file can fail: one notice, then silence while it fails; once writing works again
// the journal holds every row of the run, the ones logged meanwhile included.
TEST_F(TrialJournalTest, AFailureIsToldOnceAndTheJournalCatchesUpWhenWritingWorksAgain) {
  struct Case {
    const char* name;
    int rows_before;  // logged before it breaks
    std::function<void(TrialJournalTest&)> break_it;
    std::function<void(TrialJournalTest&)> mend_it;
    const char* reason;
    int files_at_end;
  };
#if !defined(_WIN32)
  rlimit own_limit{};
  getrlimit(RLIMIT_FSIZE, &own_limit);
#endif
  const Case cases[] = {
    {"a file where the folder should be", 0,
     [](TrialJournalTest& t) {
       fs::remove_all(t.Folder());
       std::ofstream(t.Folder()) << "not a folder";
     },
     [](TrialJournalTest& t) { fs::remove(t.Folder()); }, "cannot be made", 1},
#if !defined(_WIN32)
    // Windows refuses to remove a folder while the program holds a file open in it.
    {"the folder removed while running", 1, [](TrialJournalTest& t) { fs::remove_all(t.Folder()); },
     nullptr, "was removed", 2},
    {"the disk full in the middle of a row", 1,
     [](TrialJournalTest& t) {
       // A size limit on files stands in for a full disk: the next write stops part-way.
       rlimit full{};
       getrlimit(RLIMIT_FSIZE, &full);
       full.rlim_cur = fs::file_size(t.FirstFile()) + 10;
       std::signal(SIGXFSZ, SIG_IGN);
       setrlimit(RLIMIT_FSIZE, &full);
     },
     [&own_limit](TrialJournalTest&) { setrlimit(RLIMIT_FSIZE, &own_limit); },
     "cannot be written: File too large", 1},
    {"a read-only folder", 0,
     [](TrialJournalTest& t) {
       fs::remove_all(t.Folder());
       fs::permissions(t.root_, fs::perms::owner_read | fs::perms::owner_exec);
     },
     [](TrialJournalTest& t) { fs::permissions(t.root_, fs::perms::owner_all); },
     "cannot be made: Permission denied", 1},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
#if !defined(_WIN32)
    if (std::string(c.name) == "a read-only folder" && geteuid() == 0) {
      continue;  // permissions do not hold the superuser back
    }
#endif
    fs::remove_all(Folder());
    notices_.texts.clear();
    RunFolder folder(Folder(), kRunStart, notices_);
    TrialJournal journal(folder);
    std::string rows;
    const auto log = [&](int trial) {
      journal.Append(kTitle, Row(trial));
      rows += Row(trial);
    };
    int trial = 0;
    for (; trial < c.rows_before; ++trial) {
      log(trial + 1);
    }
    c.break_it(*this);
    log(++trial);
    log(++trial);
    ASSERT_EQ(notices_.texts.size(), 1u);
    EXPECT_THAT(notices_.texts[0], StartsWith("The trial journal cannot be written: "));
    EXPECT_THAT(notices_.texts[0], HasSubstr(c.reason));
    EXPECT_THAT(notices_.texts[0], EndsWith(". The trials are still in the window."));
    if (c.mend_it) {
      c.mend_it(*this);
    }
    log(++trial);
    log(++trial);
    EXPECT_EQ(notices_.texts.size(), 1u) << "nothing more is said when it works again";
    EXPECT_EQ(ReadAll(journal.Path()), kTitle + rows);
    EXPECT_EQ(journal.Path(), FirstFile());
    EXPECT_EQ(journal.Files(), c.files_at_end);
  }
}

TEST_F(TrialJournalTest, ANameTooLongForTheSystemIsToldOnce) {
  RunFolder folder(root_ / std::string(300, 'x') / "Orvane", kRunStart, notices_);
  TrialJournal journal(folder);
  journal.Append(kTitle, Row(1));
  journal.Append(kTitle, Row(2));
  EXPECT_THAT(notices_.texts, ElementsAre(HasSubstr("cannot be made: ")));
  EXPECT_TRUE(journal.Path().empty());
}

}  // namespace
}  // namespace orvane
