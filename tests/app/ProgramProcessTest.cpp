// The program run in a process of its own (the scripted program), ended as the system ends it.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <signal.h>

#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "log/record/TrialTableFormat.h"
#include "tests/playback/SongFiles.h"
#include "tests/support/TabSeparated.h"
#include "tests/support/TemporaryDocuments.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;

const std::vector<std::string> kCloseCalls = {
    "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 0 0 0 0 0], null, null)",
    "DAQmxStopTask(task 2)", "DAQmxStopTask(task 1)", "DAQmxClearTask(task 2)",
    "DAQmxClearTask(task 1)"};

// The scripted program over the driver in `driver_folder`, with documents and songs of its own.
class ScriptedRun {
 public:
  ScriptedRun(QStringList arguments, const QString& driver_folder) {
    testing::WriteSong(songs.path() / "alarm.wav", 80000);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("JACK_NO_START_SERVER", "1");
    environment.insert("XDG_CONFIG_HOME", documents.SettingsFolder());
    environment.insert("LD_LIBRARY_PATH", driver_folder);
    environment.insert("SIMULATED_DRIVER_CALL_LOG", calls_file());
    process.setProcessEnvironment(environment);
    arguments.replaceInStrings("<songs>", QString::fromStdString(songs.Utf8() + "/"));
    process.start(ORVANE_SCRIPTED_PROGRAM, arguments);
  }
  ~ScriptedRun() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished();
    }
  }

  // Reads what the program says until a line starts with `start`; false if it ends first.
  bool WaitFor(const QString& start) {
    for (;;) {
      while (process.canReadLine()) {
        lines << QString::fromUtf8(process.readLine()).trimmed();
        if (lines.back().startsWith(start)) {
          return true;
        }
      }
      // A long limit: it only keeps a program that went wrong from holding the test for ever.
      if (!process.waitForReadyRead(60000)) {
        return false;
      }
    }
  }

  bool Ended() { return process.waitForFinished(60000); }

  // The boxes it showed, leaving out that of a user without the default song folder.
  QStringList Boxes() const {
    QStringList boxes;
    for (const QString& line : lines) {
      if (line.startsWith("box ") && line != "box The specified file was not found.") {
        boxes << line.mid(4);
      }
    }
    return boxes;
  }

  std::vector<std::string> DriverCalls() const {
    std::vector<std::string> calls;
    QFile file(calls_file());
    if (file.open(QIODevice::ReadOnly)) {
      for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty()) {
          calls.push_back(line.toStdString());
        }
      }
    }
    return calls;
  }

  QString calls_file() const { return documents.SettingsFolder() + "/driver-calls.txt"; }

  testing::TemporaryDocuments documents;
  testing::TempFolder songs;
  QProcess process;
  QStringList lines;
};

// A logout, a shutdown or Ctrl+C closes the program as its close box does: in the middle of a puff
// the valve is closed, then both tasks are stopped and cleared, and the exit code is 0.
TEST(ProgramProcess, EachEndSignalClosesTheValveAndReleasesTheDeviceWithExitCodeZero) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    ScriptedRun run({"puff"}, ORVANE_DRIVER_FOLDER);
    ASSERT_TRUE(run.WaitFor("puffing")) << run.lines.join('\n').toStdString();
    ::kill(static_cast<pid_t>(run.process.processId()), signal);
    ASSERT_TRUE(run.Ended());
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.process.exitCode(), 0);
    const std::vector<std::string> calls = run.DriverCalls();
    ASSERT_GE(calls.size(), kCloseCalls.size());
    EXPECT_EQ(std::vector<std::string>(calls.end() - 6, calls.end() - 5),
              std::vector<std::string>{
                  "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 1 0 0 0 0], null, null)"})
        << "the puff was on until the signal";
    EXPECT_EQ(std::vector<std::string>(calls.end() - 5, calls.end()), kCloseCalls);
    EXPECT_TRUE(run.Boxes().isEmpty()) << run.Boxes().join('\n').toStdString();
    const QDir folder(run.documents.DocumentsFolder() + "/Orvane");
    const QStringList logs = folder.entryList({"* events.tsv"}, QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    const auto events = testing::ReadTabSeparated(folder.filePath(logs[0]).toStdU16String());
    std::vector<std::string> ending;
    for (std::size_t row = events.rows.size() - 2; row < events.rows.size(); ++row) {
      ending.push_back(events.At(row, "event") + " " + events.At(row, "details"));
    }
    EXPECT_THAT(ending, ElementsAre("run_end reason=signal SIG" + std::string(sigabbrev_np(signal)),
                                    ::testing::StartsWith("puff_off by=close; held=1")));
  }
}

// Without the driver library the program says so in one box and runs all the same: Start works
// and the perch reads as occupied, crossed out.
TEST(ProgramProcess, WithoutTheDriverOneBoxSaysSoAndTrialsRunOnAnOccupiedPerch) {
  ScriptedRun run({"run", "<songs>"}, ORVANE_EMPTY_FOLDER);
  ASSERT_TRUE(run.WaitFor("perch")) << run.lines.join('\n').toStdString();
  EXPECT_EQ(run.lines.back(), "perch yellow crossed");
  ASSERT_TRUE(run.Ended());
  EXPECT_EQ(run.process.exitCode(), 0);
  EXPECT_THAT(run.Boxes(),
              ElementsAre("The device driver library \"libnidaqmx.so.1\" could not be loaded, so "
                          "the perch will read as occupied and the puffer will not move; install "
                          "the driver or connect the device, then restart."));
}

// Killed outright in the middle of a run, right after a tick logged its trial: the run's files in
// the documents folder hold exactly the trials and events whose ticks finished, each a whole line.
TEST(ProgramProcess, KilledOutrightItsFilesHoldEveryTrialAndEventWhoseTickFinished) {
  ScriptedRun run({"trials", "3", "<songs>"}, ORVANE_DRIVER_FOLDER);
  ASSERT_TRUE(run.WaitFor("rows 3 ")) << run.lines.join('\n').toStdString();
  const qulonglong events = run.lines.back().section(' ', 3).toULongLong();
  ::kill(static_cast<pid_t>(run.process.processId()), SIGKILL);
  ASSERT_TRUE(run.Ended());
  EXPECT_EQ(run.process.exitStatus(), QProcess::CrashExit);

  const QDir folder(run.documents.DocumentsFolder() + "/Orvane");
  QStringList files = folder.entryList(QDir::Files);
  ASSERT_EQ(files.filter(" events.tsv").size(), 1) << files.join(' ').toStdString();
  const QString stem = files.filter(" events.tsv")[0].chopped(11);
  files.sort();
  EXPECT_EQ(files, QStringList({stem + " events.tsv", stem + " trials.tsv", stem + ".tsv"}));

  QFile journal(folder.filePath(stem + ".tsv"));
  ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = journal.readAll().split('\n');
  ASSERT_EQ(lines.size(), 6) << "the title, the empty line, three rows and nothing after the last";
  EXPECT_EQ(lines[0], "Time\tSong\tEscaped\t\t");
  EXPECT_EQ(lines[1], "");
  for (int row = 2; row < 5; ++row) {
    EXPECT_TRUE(lines[row].endsWith("\tbad\tNo\t\t")) << lines[row].toStdString();
  }
  EXPECT_EQ(lines[5], "");

  const auto table =
      testing::ReadTabSeparated(folder.filePath(stem + " trials.tsv").toStdU16String());
  EXPECT_TRUE(table.ends_with_line_end);
  EXPECT_EQ(table.Column(trial_table::kTrial), (std::vector<std::string>{"1", "2", "3"}));
  const auto log =
      testing::ReadTabSeparated(folder.filePath(stem + " events.tsv").toStdU16String());
  EXPECT_TRUE(log.ends_with_line_end);
  ASSERT_EQ(log.rows.size(), events);
  for (const auto& row : log.rows) {
    EXPECT_EQ(row.size(), 4u);
  }
  EXPECT_EQ(log.rows.back()[2], "decision");
}

}  // namespace
}  // namespace orvane
