#include <QCoreApplication>
#include <QtTest/QTest>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "log/record/TrialTableFormat.h"
#include "playback/view/MediaPlayerBar.h"
#include "tests/support/TabSeparated.h"
#include "tests/ui/window/WindowRig.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
namespace column = trial_table;

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using testing::LowOn;
using testing::WindowRig;

constexpr daq::int32 kUnplugged = -50405;

std::string Text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The experiment as a scenario drives it, one tick at a time, with the perch scripted per tick.
class Scenario {
 public:
  explicit Scenario(WindowRig& rig) : rig_(rig) {}

  struct Trial {
    std::int64_t start = 0;
    std::int64_t decision = 0;
  };

  // The bird sits on the perch until a song starts, then is away on the ticks `away` names by
  // their distance from the start; after the decision it leaves until the trial is over. The
  // perch changes go into `perch`.
  Trial Run(const std::function<bool(std::int64_t since_start)>& away,
            const std::function<void()>& at_start = {}) {
    Trial trial;
    const int rows = rig_.DecidedTrials();
    Perch(true);
    for (int limit = 0; !Playing() && limit < 2000; ++limit) {
      Tick();
    }
    trial.start = Now();
    if (at_start) {
      at_start();
    }
    while (rig_.DecidedTrials() == rows && Now() - trial.start < 100) {
      Perch(!away(Now() + 1 - trial.start));
      Tick();
    }
    trial.decision = Now();
    Perch(false);
    while (Playing()) {
      Tick();
    }
    return trial;
  }

  std::int64_t Now() const { return rig_.window().Record().Tick(); }

  std::vector<std::string> perch;

 private:
  bool Playing() const {
    const auto& state = rig_.window().Controller().state();
    return state.good_playing || state.bad_playing;
  }
  void Perch(bool on) {
    rig_.device.ScriptRead(on ? LowOn({7}) : LowOn({}));
    if (on != on_) {
      on_ = on;
      perch.push_back(std::string(on ? "perch_occupied" : "perch_empty") +
                      "\ttick=" + std::to_string(Now() + 1));
    }
  }
  void Tick() {
    rig_.Tick();
    QCoreApplication::sendPostedEvents();
  }

  WindowRig& rig_;
  bool on_ = false;
};

std::string Setting(const char* name, const char* control, const char* old_value,
                    const char* new_value) {
  return std::string("setting\tsetting=") + name + "; control=" + control + "; old=" + old_value +
         "; new=" + new_value;
}

// One run through the real window: three trials with settings changed between them, Clear and a
// sort in the window, a puff whose write fails, a song stopped and played with its buttons. The
// trial table holds every trial in logging order with the settings of its decision and its escape
// latency; the event log holds exactly what happened, in order; the journal holds every row as Copy
// writes it.
TEST(RunRecord, HoldsEveryTrialWithItsSettingsAndLatencyAndEveryEventInOrder) {
  WindowRig rig;
  TForm1& window = rig.Open();
  Ui::TForm1& form = rig.form();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const fs::path folder = rig.journals.path() / "Orvane";
  const std::string stem = "2024-03-21 14.05.09";
  QTest::mouseClick(form.Start, Qt::LeftButton);  // refused: no songs yet
  QCoreApplication::sendPostedEvents();
  EXPECT_FALSE(fs::exists(folder)) << "the start-up and its boxes alone leave no file";

  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  const std::string songs = form.bad_song_list->Directory();
  WindowRig::PickItem(*form.precent_bad, 0);  // every trial plays the bad song
  form.feedback_delay1->setValue(300);
  QTest::mouseClick(form.Start, Qt::LeftButton);
  EXPECT_TRUE(fs::exists(folder / (stem + " events.tsv")));
  EXPECT_FALSE(fs::exists(folder / (stem + ".tsv"))) << "no trial yet";

  Scenario scenario(rig);
  std::vector<std::string> journal_rows;
  const auto copied_rows = [&] {
    QTest::mouseClick(form.copy, Qt::LeftButton);
    std::vector<std::string> rows;
    const std::string& copy = rig.clipboard.texts.back();
    for (std::size_t at = copy.find("\n\n") + 2; at < copy.size();) {
      const std::size_t end = copy.find('\n', at) + 1;
      if (copy.compare(at, end - at, "\t\t\t\t\n") != 0) {
        rows.push_back(copy.substr(at, end - at));
      }
      at = end;
    }
    return rows;
  };

  // 1: the bird leaves 7 ticks after the bad song starts and is gone at the decision.
  const Scenario::Trial first = scenario.Run([](std::int64_t k) { return k >= 7; });
  journal_rows = copied_rows();
  QTest::mouseClick(form.clear, Qt::LeftButton);
  WindowRig::PickItem(*form.precent_bad, 4);  // now every trial plays the neutral song
  form.action_delayTb->setValue(10);
  // 2: the bird stays through the neutral song.
  const Scenario::Trial second = scenario.Run([](std::int64_t) { return false; });
  form.report->table().SortByColumn(2);
  WindowRig::PickItem(*form.precent_bad, 0);
  form.action_delayTb->setValue(30);
  form.puff_duration->setValue(5);
  // 3: the bird leaves 2 ticks after the start and is back 2 ticks later; the puff's write fails.
  const Scenario::Trial third =
      scenario.Run([](std::int64_t k) { return k == 2 || k == 3; },
                   [&rig] { rig.device.FailCalls("DAQmxWriteDigitalLines", kUnplugged); });
  for (const std::string& row : copied_rows()) {
    journal_rows.push_back(row);
  }
  // The bad song, still sounding, stopped with its Stop button and started again with Play; then
  // both songs run to their end. Each is seen at the next tick.
  const auto press = [&form](TMediaPlayer::Button button) {
    QTest::mouseClick(form.play_bad, Qt::LeftButton, {},
                      form.play_bad->ButtonRect(button).center());
  };
  press(TMediaPlayer::Button::kStop);
  rig.Tick();
  const std::int64_t stopped = scenario.Now();
  press(TMediaPlayer::Button::kPlay);
  // The decoders fill their rings on threads of their own: pull until both songs have ended.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((window.PlayBad().Sounding() || window.PlayGood().Sounding()) &&
         std::chrono::steady_clock::now() < give_up) {
    rig.output.Pull(4096);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  rig.Tick();
  QTest::mouseClick(form.Stop, Qt::LeftButton);

  const testing::TabSeparated table = testing::ReadTabSeparated(folder / (stem + " trials.tsv"));
  EXPECT_THAT(table.columns, ElementsAreArray(column::kColumns));
  ASSERT_EQ(table.rows.size(), 3u);
  for (const auto& row : table.rows) {
    EXPECT_EQ(row.size(), column::kColumns.size());
  }
  const auto at = [](const Scenario::Trial& trial, std::int64_t since) {
    return std::to_string(trial.start + since);
  };
  EXPECT_THAT(table.Column(column::kTrial), ElementsAre("1", "2", "3"));
  EXPECT_THAT(table.Column(column::kSongKind), ElementsAre("bad", "good", "bad"));
  EXPECT_THAT(table.Column(column::kSongFile), ElementsAre("alarm.wav", "calm.wav", "alarm.wav"));
  EXPECT_THAT(table.Column(column::kSongFolder), ElementsAre(songs, songs, songs));
  EXPECT_THAT(table.Column(column::kStartTick),
              ElementsAre(at(first, 0), at(second, 0), at(third, 0)));
  EXPECT_THAT(table.Column(column::kDecisionTick),
              ElementsAre(std::to_string(first.decision), std::to_string(second.decision),
                          std::to_string(third.decision)));
  EXPECT_THAT(table.Column(column::kOnPerch), ElementsAre("0", "1", "1"));
  EXPECT_THAT(table.Column(column::kEscaped), ElementsAre("Yes", "No", "No"));
  EXPECT_THAT(table.Column(column::kLeftTick), ElementsAre(at(first, 7), "", at(third, 2)));
  EXPECT_THAT(table.Column(column::kLatencyMs), ElementsAre("700", "", "200"));
  EXPECT_THAT(table.Column(column::kPuffOn), ElementsAre("0", "0", "1"));
  EXPECT_THAT(table.Column(column::kPuffHeld), ElementsAre("", "", "0"));
  EXPECT_THAT(table.Column(column::kDeviceOk), ElementsAre("1", "1", "0"));
  EXPECT_THAT(table.Column(column::kPuffDelaySeconds), ElementsAre("2.0", "1.0", "3.0"));
  EXPECT_THAT(table.Column(column::kPuffDurationSeconds), ElementsAre("1.0", "1.0", "0.5"));
  EXPECT_THAT(table.Column(column::kOdds), ElementsAre("0.300", "0.300", "0.300"));
  EXPECT_THAT(table.Column(column::kNeutralSharePercent), ElementsAre("0", "100", "0"));
  EXPECT_THAT(table.Column(column::kSelection), ElementsAre("random", "random", "random"));
  EXPECT_THAT(table.Column(column::kSerialStart), ElementsAre("bad song", "bad song", "bad song"));
  EXPECT_THAT(table.Column(column::kPerchLine), ElementsAre("7", "7", "7"));
  EXPECT_EQ(table.At(0, column::kLoggedAt), "2024-03-21T14:05:09.250+00:00");
  EXPECT_EQ(table.At(0, column::kStream), "playing") << "the trial's song still sounds then";

  const testing::TabSeparated events = testing::ReadTabSeparated(folder / (stem + " events.tsv"));
  EXPECT_THAT(events.columns, ElementsAre("run_seconds", "local_time", "event", "details"));
  ASSERT_FALSE(events.rows.empty());
  EXPECT_EQ(events.rows[0][2], "run_start");
  EXPECT_THAT(events.rows[0][3], HasSubstr("driver_loaded=1; perch_lines=Dev1/port2/line0:7"));
  EXPECT_THAT(events.rows[0][3], HasSubstr("puff_delay_s=2.0; puff_duration_s=1.0; odds=0.100"));
  std::vector<std::string> recorded;
  std::vector<std::string> perch;
  for (const auto& row : events.rows) {
    ASSERT_EQ(row.size(), 4u);
    if (row[2].starts_with("perch_")) {
      perch.push_back(row[2] + "\t" + row[3]);
    } else if (row[2] != "run_start") {
      recorded.push_back(row[2] + "\t" + row[3]);
    }
  }
  EXPECT_EQ(perch, scenario.perch);
  const std::string bad_start = "song_start\tsong=bad; by=trial; tick=";
  const std::string bad_song = "; file=alarm.wav; folder=" + songs;
  const auto tick = [](std::int64_t t) { return std::to_string(t); };
  const auto puff = [&](const char* event, const char* held, daq::int32 status, std::int64_t t) {
    return std::string(event) + "\tby=trial; held=" + held + "; status=" + std::to_string(status) +
           "; tick=" + tick(t);
  };
  const auto decision = [&](int trial, const char* song, const char* escaped, std::int64_t t) {
    return "decision\ttrial=" + std::to_string(trial) + "; song=" + song + "; escaped=" + escaped +
           "; tick=" + tick(t);
  };
  EXPECT_THAT(
      recorded,
      ElementsAre(
          "puff_off\tby=start; held=1; status=0; tick=0",
          "message\tbox=start refused; text=You must select songs before starting",
          "song_chosen\tsong=bad; file=alarm.wav; folder=" + songs,
          "song_chosen\tsong=good; file=calm.wav; folder=" + songs,
          Setting("neutral_share_pct", "precent_bad", "50", "0"),
          Setting("odds", "odds", "0.100", "0.300"), "start\ttick=0",
          bad_start + tick(first.start) + bad_song, decision(1, "bad", "Yes", first.decision),
          puff("puff_off", "1", 0, first.decision + 10), "copy\t", "clear\t",
          Setting("neutral_share_pct", "precent_bad", "0", "100"),
          Setting("puff_delay_s", "action_delay", "2.0", "1.0"),
          "song_start\tsong=good; by=trial; tick=" + tick(second.start) +
              "; file=calm.wav; folder=" + songs,
          decision(2, "good", "No", second.decision),
          Setting("neutral_share_pct", "precent_bad", "100", "0"),
          Setting("puff_delay_s", "action_delay", "1.0", "3.0"),
          Setting("puff_duration_s", "puff_duration", "1.0", "0.5"),
          bad_start + tick(third.start) + bad_song,
          puff("puff_on", "0", kUnplugged, third.decision),
          decision(3, "bad", "No", third.decision),
          ::testing::StartsWith("message\tbox=notice; text=The puffer could not be"),
          puff("puff_off", "1", 0, third.decision + 5), "copy\t",
          "song_stop\tsong=bad; tick=" + tick(stopped),
          "song_start\tsong=bad; by=button; tick=" + tick(stopped) + bad_song,
          "song_end\tsong=bad; tick=" + tick(stopped + 1),
          "song_end\tsong=good; tick=" + tick(stopped + 1), "stop\ttick=" + tick(scenario.Now())));

  std::string journal = "Time\tSong\tEscaped\t\t\n\n";
  for (const std::string& row : journal_rows) {
    journal += row;
  }
  EXPECT_EQ(journal_rows.size(), 3u);
  EXPECT_EQ(Text(folder / (stem + ".tsv")), journal);
  const std::string tooltip = form.report->toolTip().toStdString();
  EXPECT_THAT(tooltip, HasSubstr(folder.string()));
  for (const char* ending : {".tsv", " trials.tsv", " events.tsv"}) {
    EXPECT_THAT(tooltip, HasSubstr(stem + ending));
  }
}

// Every write to the puffer is in the event log with who made it: the start-up's, a manual
// puff's, the rewrite of an off pattern the driver refused, the deadline's while the window did
// not answer (stamped when it was made, not when told), and the close's.
TEST(RunRecord, EveryWriteToThePufferIsRecordedWithWhoMadeIt) {
  WindowRig rig;
  TForm1& window = rig.Open();
  window.show();
  Ui::TForm1& form = rig.form();
  form.puff_duration->setValue(5);
  const auto puff = [&] { QTest::mouseClick(form.puffer, Qt::LeftButton); };
  const auto to_its_end = [&] {
    for (int tick = 0; tick < 6; ++tick) {
      window.Timer2Timer();
      QCoreApplication::sendPostedEvents();
    }
  };
  puff();
  to_its_end();
  puff();
  rig.device.FailCalls("DAQmxWriteDigitalLines", kUnplugged, 1);
  to_its_end();
  window.ValveGuardTimer();
  puff();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the deadline acts meanwhile
  window.Timer2Timer();
  QCoreApplication::sendPostedEvents();
  puff();
  to_its_end();
  window.close();

  const fs::path folder = rig.journals.path() / "Orvane";
  fs::path log;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().string().ends_with(" events.tsv")) {
      log = entry.path();
    }
  }
  const testing::TabSeparated events = testing::ReadTabSeparated(log);
  std::vector<std::string> puffs;
  double deadline_seconds = 0;
  double told_seconds = 0;
  for (std::size_t row = 0; row < events.rows.size(); ++row) {
    const std::string event = events.At(row, "event");
    const std::string details = events.At(row, "details");
    if (event.starts_with("puff_")) {
      puffs.push_back(event + " " + details.substr(0, details.find("; tick")));
    }
    if (details.starts_with("by=deadline")) {
      deadline_seconds = std::stod(events.At(row, "run_seconds"));
    } else if (event == "message" && details.find("not answering") != std::string::npos) {
      told_seconds = std::stod(events.At(row, "run_seconds"));
    }
  }
  const std::string refused = "held=0; status=" + std::to_string(kUnplugged);
  EXPECT_THAT(
      puffs,
      ElementsAre("puff_off by=start; held=1; status=0", "puff_on by=manual; held=1; status=0",
                  "puff_off by=manual; held=1; status=0", "puff_on by=manual; held=1; status=0",
                  "puff_off by=manual; " + refused, "puff_off by=rewrite; held=1; status=0",
                  "puff_on by=manual; held=1; status=0", "puff_off by=deadline; held=1; status=0",
                  "puff_on by=manual; held=1; status=0", "puff_off by=manual; held=1; status=0",
                  "puff_off by=close; held=1; status=0"));
  // The window slept well past the deadline's write before it could tell of it.
  EXPECT_LT(deadline_seconds, told_seconds - 0.3);
}

}  // namespace
}  // namespace orvane
