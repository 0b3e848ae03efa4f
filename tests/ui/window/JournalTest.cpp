#include <QCoreApplication>
#include <QtTest/QTest>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/ui/window/WindowRig.h"
#include "ui/NumLab.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

using ::testing::HasSubstr;
using testing::LowOn;
using testing::WindowRig;

const std::string kTitle = "Time\tSong\tEscaped\t\t\n\n";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The rows of a copy: its lines after the title, without the table's empty rows.
std::vector<std::string> CopiedRows(const std::string& copy) {
  std::vector<std::string> rows;
  std::size_t start = kTitle.size();
  while (start < copy.size()) {
    const std::size_t end = copy.find('\n', start) + 1;
    if (const std::string line = copy.substr(start, end - start); line != "\t\t\t\t\n") {
      rows.push_back(line);
    }
    start = end;
  }
  return rows;
}

// The window with both songs picked, the bird on the perch and Start pressed.
void StartExperiment(WindowRig& rig) {
  TForm1& window = rig.window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Ui::TForm1& form = rig.form();
  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  rig.device.ScriptRead(LowOn({7}));
  QTest::mouseClick(form.Start, Qt::LeftButton);
}

std::string Copy(WindowRig& rig) {
  QTest::mouseClick(rig.form().copy, Qt::LeftButton);
  return rig.clipboard.texts.back();
}

// Run files that cannot be written are told once, after the handler; the ticks, the table and
// the counters go on untouched, and the journal catches up when its folder can be made again.
TEST(Journal, ThatCannotBeWrittenIsToldOnceAndLeavesTheExperimentUntouched) {
  WindowRig rig;
  const fs::path folder = rig.journals.path() / "Orvane";
  std::ofstream(folder) << "a file where the folder should be";
  TForm1& window = rig.Open();
  StartExperiment(rig);
  Ui::TForm1& form = rig.form();

  for (int tick = 0; tick < 1000 && rig.DecidedTrials() < 3; ++tick) {
    const qsizetype boxes = rig.exceptions.size();
    window.Timer1Timer();
    EXPECT_EQ(rig.exceptions.size(), boxes) << "no box inside the tick";
    QCoreApplication::sendPostedEvents();
  }
  ASSERT_EQ(rig.DecidedTrials(), 3);
  ASSERT_EQ(rig.exceptions.size(), 1);
  EXPECT_THAT(rig.exceptions[0].toStdString(), HasSubstr(" cannot be written: the folder "));
  EXPECT_TRUE(window.Timer1().IsEnabled());
  EXPECT_EQ(form.report->table().GetNrRows(), 3 + 4);
  EXPECT_EQ(form.bad_stay->Value() + form.good_stay->Value(), 3);
  EXPECT_TRUE(form.report->toolTip().isEmpty());

  fs::remove(folder);
  ASSERT_TRUE(rig.TickUntilDecided(4));
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(rig.exceptions.size(), 1);
  EXPECT_EQ(
      ReadAll(window.Journal().Path()), kTitle + [&] {
        std::string rows;
        for (const std::string& row : CopiedRows(Copy(rig))) {
          rows += row;
        }
        return rows;
      }());
}

}  // namespace
}  // namespace orvane
