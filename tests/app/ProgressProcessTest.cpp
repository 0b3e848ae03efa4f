// The program as a viewer of past runs, in a process of its own, given what is not a trial table.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/progress/HandMadeTable.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;

void Write(const QString& file, const std::string& text) {
  QFile out(file);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(text.data(), static_cast<qint64>(text.size()));
}

// A folder, a device that never ends, a pipe without a writer and a table whose name is not UTF-8
// (and holds a bad line), among a valid table: the valid one and the readable rows of the other
// are drawn, each of the others is named in the window, and closing the window ends the program
// with exit code 0.
TEST(ProgressProcess, WhatIsNotATableIsNamedTheRestDrawnAndClosingEndsTheProgram) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir(folder.path()).mkdir("runs"));
  ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath("pipe")).constData(), 0600), 0);
  Write(folder.filePath("day trials.tsv"), testing::TrialTableText({{"bad", "Yes", "500", "", ""},
                                                                    {"good", "No", "", "", ""},
                                                                    {"bad", "No", "", "", ""}}));
  const std::string odd = testing::TrialTableText(
      {{"bad", "Yes", "700", "", ""}, {"bad", "Maybe", "", "", ""}, {"good", "No", "", "", ""}});
  // A name in Latin-1, as an old disk may hold it: made, and handed over, by the shell.
  QProcess make;
  make.setWorkingDirectory(folder.path());
  make.start("/bin/sh", {"-c", "cat > \"$(printf 'caf\\351 trials.tsv')\""});
  make.write(odd.data(), static_cast<qint64>(odd.size()));
  make.closeWriteChannel();
  ASSERT_TRUE(make.waitForFinished());

  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("XDG_CONFIG_HOME", folder.filePath("settings"));
  program.setProcessEnvironment(environment);
  program.setWorkingDirectory(folder.path());
  program.start("/bin/sh",
                {"-c", "exec \"$0\" --progress \"$@\" \"$(printf 'caf\\351 trials.tsv')\"",
                 ORVANE_SCRIPTED_PROGRESS, "runs", "/dev/zero", "pipe", "day trials.tsv"});
  ASSERT_TRUE(program.waitForFinished(120000)) << "still running";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  const QStringList said =
      QString::fromUtf8(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  EXPECT_THAT(said.join('\n').toStdString(),
              ::testing::StrEq("title Progress: 2 runs\n"
                               "problem runs is a folder, not a trial table.\n"
                               "problem zero is a device, not a file: it is not read.\n"
                               "problem pipe is a pipe, not a file: it is not read.\n"
                               "problem caf\uFFFD trials.tsv, line 3: escaped is \"Maybe\", not "
                               "\"Yes\" or \"No\"; the line is left out.\n"
                               "trials 5 runs 2"))
      << program.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace orvane
