#include <QCoreApplication>
#include <QStringDecoder>
#include <QtTest/QTest>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
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

// The experiment as a scenario drives it, one tick at a time, with the perch scripted per tick,
// on a machine so loaded that each 100 ms tick comes 123 ms after the last on the monotonic clock.
class Scenario {
 public:
  static constexpr std::chrono::milliseconds kTickTakes{123};

  explicit Scenario(WindowRig& rig) : rig_(rig) { rig.clock.Hold(); }

  struct Trial {
    std::int64_t start = 0;
    std::vector<std::int64_t> decisions;
  };

  // The bird sits on the perch until a song starts, then is away on the ticks `away` names by
  // their distance from the start, until the song's trial is over. The perch changes go into
  // `perch`.
  Trial Run(const std::function<bool(std::int64_t since_start)>& away,
            const std::function<void()>& at_start = {}) {
    Trial trial;
    Perch(true);
    for (int limit = 0; !Playing() && limit < 2000; ++limit) {
      Tick(trial);
    }
    trial.start = Now();
    if (at_start) {
      at_start();
    }
    while (Playing() && Now() - trial.start < 100) {
      Perch(!away(Now() + 1 - trial.start));
      Tick(trial);
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
  void Tick(Trial& trial) {
    const int rows = rig_.DecidedTrials();
    rig_.clock.Advance(kTickTakes);
    rig_.Tick();
    QCoreApplication::sendPostedEvents();
    if (rig_.DecidedTrials() != rows) {
      trial.decisions.push_back(Now());
    }
  }

  WindowRig& rig_;
  bool on_ = false;
};

std::string Setting(const char* name, const char* control, const char* old_value,
                    const char* new_value) {
  return std::string("setting\tsetting=") + name + "; control=" + control + "; old=" + old_value +
         "; new=" + new_value;
}

// One run through the real window: four songs with settings changed between them and between a
// draw and its decision, a bird that leaves and comes back, a song decided three times whose bird
// escapes its puff, Clear and a sort in the window, a puff whose write fails, a song stopped and
// played with its buttons. The trial table holds every decision in logging order with the settings
// of its draw and of its decision, its first leave and return, its escape latency in ticks and on
// the monotonic clock and its place in its song; the event log holds exactly what happened, in
// order; the journal holds every row as Copy writes it.
TEST(RunRecord, HoldsEveryTrialWithItsSettingsAndLatencyAndEveryEventInOrder) {
  WindowRig rig;
  Scenario scenario(rig);
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
  // Ticked by hand from here on, so that no tick of the run's own timer falls between.
  window.Timer1().Disable();
  EXPECT_TRUE(fs::exists(folder / (stem + " events.tsv")));
  EXPECT_FALSE(fs::exists(folder / (stem + ".tsv"))) << "no trial yet";

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

  // 1: the bird leaves 7 ticks after the bad song starts and is gone at the decision. Once the
  // song has started, the odds, the neutral share (now every trial plays the neutral song) and the
  // delay change: the row has the draw's odds and share, and the decision's delay.
  const Scenario::Trial first = scenario.Run([](std::int64_t k) { return k >= 7; },
                                             [&form] {
                                               form.feedback_delay1->setValue(150);
                                               WindowRig::PickItem(*form.precent_bad, 4);
                                               form.action_delayTb->setValue(15);
                                             });
  journal_rows = copied_rows();
  QTest::mouseClick(form.clear, Qt::LeftButton);
  // 2: the bird leaves the neutral song 1 tick after its start, is back on the next and gone again
  // on the one after: an escape, but not one whose latency is known.
  const Scenario::Trial second = scenario.Run([](std::int64_t k) { return k != 2; });
  form.report->table().SortByColumn(2);
  WindowRig::PickItem(*form.precent_bad, 0);
  form.action_delayTb->setValue(30);
  form.puff_duration->setValue(5);
  // 3: the bird leaves 2 ticks after the start and is back 2 ticks later; the puff's write fails.
  const Scenario::Trial third =
      scenario.Run([](std::int64_t k) { return k == 2 || k == 3; },
                   [&rig] { rig.device.FailCalls("DAQmxWriteDigitalLines", kUnplugged); });
  form.action_delayTb->setValue(4);
  form.puff_duration->setValue(10);
  // 4: a delay shorter than the duration: the song is decided 4 ticks after its start, with the
  // bird on the perch and a puff, and twice more, every 5 ticks. The bird escapes the puff on the
  // next tick.
  const Scenario::Trial fourth = scenario.Run([](std::int64_t k) { return k >= 5; });
  // On which ticks the rules decide each song: delay 1.5 s; then 1.5 s with 10 ticks counted
  // since the last decision; then 3.0 s with 10 counted; then 0.4 s, whose first tick spends the
  // count left on a decision without a song.
  const std::int64_t f = first.start;
  const std::int64_t s = second.start;
  const std::int64_t t = third.start;
  const std::int64_t u = fourth.start;
  ASSERT_THAT(first.decisions, ElementsAre(f + 15));
  ASSERT_THAT(second.decisions, ElementsAre(s + 5));
  ASSERT_THAT(third.decisions, ElementsAre(t + 20));
  ASSERT_THAT(fourth.decisions, ElementsAre(u + 4, u + 9, u + 14));
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
  ASSERT_EQ(table.rows.size(), 6u);
  for (const auto& row : table.rows) {
    EXPECT_EQ(row.size(), column::kColumns.size());
  }
  const auto ticks = [](std::initializer_list<std::int64_t> values) {
    std::vector<std::string> texts;
    for (const std::int64_t value : values) {
      texts.push_back(value < 0 ? "" : std::to_string(value));
    }
    return texts;
  };
  constexpr std::int64_t kNone = -1;
  const std::string bad = "alarm.wav";
  EXPECT_THAT(table.Column(column::kTrial), ElementsAre("1", "2", "3", "4", "5", "6"));
  EXPECT_THAT(table.Column(column::kSongKind),
              ElementsAre("bad", "good", "bad", "bad", "bad", "bad"));
  EXPECT_THAT(table.Column(column::kSongFile), ElementsAre(bad, "calm.wav", bad, bad, bad, bad));
  EXPECT_THAT(table.Column(column::kSongFolder), ::testing::Each(songs));
  EXPECT_THAT(table.Column(column::kStartTick), ElementsAreArray(ticks({f, s, t, u, u, u})));
  EXPECT_THAT(table.Column(column::kDecisionTick),
              ElementsAreArray(ticks({f + 15, s + 5, t + 20, u + 4, u + 9, u + 14})));
  EXPECT_THAT(table.Column(column::kOnPerch), ElementsAre("0", "0", "1", "1", "0", "0"));
  EXPECT_THAT(table.Column(column::kEscaped), ElementsAre("Yes", "Yes", "No", "No", "Yes", "Yes"));
  // The first leave of every row, the return of the bird that came back, and an escape latency
  // only where the bird left and stayed away: in ticks, and on the clock of the loaded machine.
  EXPECT_THAT(table.Column(column::kLeftTick),
              ElementsAreArray(ticks({f + 7, s + 1, t + 2, kNone, u + 5, u + 5})));
  EXPECT_THAT(table.Column(column::kReturnedTick),
              ElementsAreArray(ticks({kNone, s + 2, t + 4, kNone, kNone, kNone})));
  EXPECT_THAT(table.Column(column::kLeftMs), ElementsAre("700", "100", "200", "", "500", "500"));
  EXPECT_THAT(table.Column(column::kLatencyMs), ElementsAre("700", "", "", "", "500", "500"));
  EXPECT_THAT(table.Column(column::kLatencyClockMs), ElementsAre("861", "", "", "", "615", "615"));
  // The fourth song's later decisions come after its puff.
  EXPECT_THAT(table.Column(column::kSongDecision), ElementsAre("1", "1", "1", "1", "2", "3"));
  EXPECT_THAT(table.Column(column::kAfterPuff), ElementsAre("0", "0", "0", "0", "1", "1"));
  EXPECT_THAT(table.Column(column::kPuffOn), ElementsAre("0", "0", "1", "1", "0", "0"));
  EXPECT_THAT(table.Column(column::kPuffHeld), ElementsAre("", "", "0", "1", "", ""));
  EXPECT_THAT(table.Column(column::kDeviceOk), ElementsAre("1", "1", "0", "1", "1", "1"));
  // The puff's settings are the decision's, the selection's those of the draw.
  EXPECT_THAT(table.Column(column::kPuffDelaySeconds),
              ElementsAre("1.5", "1.5", "3.0", "0.4", "0.4", "0.4"));
  EXPECT_THAT(table.Column(column::kPuffDurationSeconds),
              ElementsAre("1.0", "1.0", "0.5", "1.0", "1.0", "1.0"));
  EXPECT_THAT(table.Column(column::kOdds),
              ElementsAre("0.300", "0.150", "0.150", "0.150", "0.150", "0.150"));
  EXPECT_THAT(table.Column(column::kNeutralSharePercent),
              ElementsAre("0", "100", "0", "0", "0", "0"));
  EXPECT_THAT(table.Column(column::kSelection), ::testing::Each("random"));
  EXPECT_THAT(table.Column(column::kSerialStart), ::testing::Each("bad song"));
  EXPECT_THAT(table.Column(column::kPerchLine), ::testing::Each("7"));
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
  const std::string bad_song = "; folder=" + songs + "; file=alarm.wav";
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
          "song_chosen\tsong=bad; folder=" + songs + "; file=alarm.wav",
          "song_chosen\tsong=good; folder=" + songs + "; file=calm.wav",
          Setting("neutral_share_pct", "precent_bad", "50", "0"),
          Setting("odds", "odds", "0.100", "0.300"), "start\ttick=0",
          bad_start + tick(f) + bad_song, Setting("odds", "odds", "0.300", "0.150"),
          Setting("neutral_share_pct", "precent_bad", "0", "100"),
          Setting("puff_delay_s", "action_delay", "2.0", "1.5"), decision(1, "bad", "Yes", f + 15),
          puff("puff_off", "1", 0, f + 25), "copy\t", "clear\t",
          "song_start\tsong=good; by=trial; tick=" + tick(s) + "; folder=" + songs +
              "; file=calm.wav",
          decision(2, "good", "Yes", s + 5),
          Setting("neutral_share_pct", "precent_bad", "100", "0"),
          Setting("puff_delay_s", "action_delay", "1.5", "3.0"),
          Setting("puff_duration_s", "puff_duration", "1.0", "0.5"), bad_start + tick(t) + bad_song,
          puff("puff_on", "0", kUnplugged, t + 20), decision(3, "bad", "No", t + 20),
          ::testing::StartsWith("message\tbox=notice; text=The puffer could not be"),
          puff("puff_off", "1", 0, t + 25), Setting("puff_delay_s", "action_delay", "3.0", "0.4"),
          Setting("puff_duration_s", "puff_duration", "0.5", "1.0"), bad_start + tick(u) + bad_song,
          puff("puff_on", "1", 0, u + 4), decision(4, "bad", "No", u + 4),
          decision(5, "bad", "Yes", u + 9), decision(6, "bad", "Yes", u + 14),
          puff("puff_off", "1", 0, u + 14), "copy\t", "song_stop\tsong=bad; tick=" + tick(stopped),
          "song_start\tsong=bad; by=button; tick=" + tick(stopped) + bad_song,
          "song_end\tsong=bad; tick=" + tick(stopped + 1),
          "song_end\tsong=good; tick=" + tick(stopped + 1), "stop\ttick=" + tick(scenario.Now())));

  std::string journal = "Time\tSong\tEscaped\t\t\n\n";
  for (const std::string& row : journal_rows) {
    journal += row;
  }
  EXPECT_EQ(journal_rows.size(), 6u);
  EXPECT_EQ(Text(folder / (stem + ".tsv")), journal);
  const std::string tooltip = form.report->toolTip().toStdString();
  EXPECT_THAT(tooltip, HasSubstr(folder.string()));
  for (const char* ending : {".tsv", " trials.tsv", " events.tsv"}) {
    EXPECT_THAT(tooltip, HasSubstr(stem + ending));
  }
}

// A field as the format page says to read it: every \\xHH is the byte HH.
std::string Unescaped(std::string_view field) {
  std::string bytes;
  for (std::size_t at = 0; at < field.size(); ++at) {
    if (field.substr(at, 2) == "\\x" && at + 3 < field.size() &&
        std::isxdigit(static_cast<unsigned char>(field[at + 2])) &&
        std::isxdigit(static_cast<unsigned char>(field[at + 3]))) {
      bytes.push_back(
          static_cast<char>(std::stoi(std::string(field.substr(at + 2, 2)), nullptr, 16)));
      at += 3;
    } else {
      bytes.push_back(field[at]);
    }
  }
  return bytes;
}

// Details split as the format page splits them: at every "; ", each pair at its first "=".
std::map<std::string, std::string> Pairs(const std::string& details) {
  std::map<std::string, std::string> pairs;
  for (std::size_t at = 0; at < details.size();) {
    const std::size_t end = std::min(details.find("; ", at), details.size());
    const std::string pair = details.substr(at, end - at);
    const std::size_t equals = pair.find('=');
    EXPECT_NE(equals, std::string::npos) << "\"" << pair << "\" in " << details;
    pairs[pair.substr(0, equals)] = pair.substr(equals + 1);
    at = end + 2;
  }
  return pairs;
}

bool IsUtf8(const fs::path& file) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(QByteArray::fromStdString(Text(file)));
  return !text.isEmpty() && !decoder.hasError();
}

// A song whose name holds "; " and, where the system allows it, bytes that are not UTF-8, in a
// folder named the same way: both files of the run stay UTF-8, every event's details split into
// their pairs, and the names come back from them byte for byte.
TEST(RunRecord, ANameThatIsNotUtf8OrHoldsASemicolonComesBackFromBothFiles) {
#if defined(_WIN32)
  // Windows names are UTF-16: every one of them is UTF-8 to the program. A "\" cannot be in a
  // file's name there, but it begins the folder's last part, which reads like an escape.
  const std::string song =
      "b\xC3\xA4"
      "d; take.wav";
  const std::string folder_name = "x41; caf\xC3\xA9 songs";
#else
  const std::string song =
      "b\xE4"
      "d; take\\x41.wav";
  const std::string folder_name = "caf\xE9; songs";
#endif
  WindowRig rig(std::vector<std::string>{});
  const fs::path songs = rig.songs.path() / std::u8string(folder_name.begin(), folder_name.end());
  fs::create_directory(songs);
  testing::WriteSong(songs / std::u8string(song.begin(), song.end()), 80000);
  testing::WriteSong(songs / "calm.wav", 80000);
  TForm1& window = rig.Open(rig.songs.Utf8() + "/" + folder_name + "/");
  Ui::TForm1& form = rig.form();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const std::string folder = form.bad_song_list->Directory();
  ASSERT_TRUE(folder.ends_with(folder_name)) << folder;
  rig.ClickSong(*form.bad_song_list, QString::fromUtf8(song));
  rig.ClickSong(*form.good_song_list, QStringLiteral("calm.wav"));
  WindowRig::PickItem(*form.precent_bad, 0);
  form.feedback_delay1->setValue(300);
  rig.device.ScriptRead(testing::LowOn({7}));
  QTest::mouseClick(form.Start, Qt::LeftButton);
  ASSERT_TRUE(rig.TickUntilDecided(1));
  QTest::mouseClick(form.Stop, Qt::LeftButton);

  const fs::path files = rig.journals.path() / "Orvane";
  const fs::path table_file = files / "2024-03-21 14.05.09 trials.tsv";
  const fs::path events_file = files / "2024-03-21 14.05.09 events.tsv";
  EXPECT_TRUE(IsUtf8(table_file));
  EXPECT_TRUE(IsUtf8(events_file));
  const testing::TabSeparated table = testing::ReadTabSeparated(table_file);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Unescaped(table.At(0, column::kSongFile)), song);
  EXPECT_EQ(Unescaped(table.At(0, column::kSongFolder)), folder);

  std::vector<std::string> named;
  for (const auto& row : testing::ReadTabSeparated(events_file).rows) {
    ASSERT_EQ(row.size(), 4u);
    const std::map<std::string, std::string> pairs = Pairs(row[3]);
    if (row[2] == "run_start") {
      EXPECT_EQ(Unescaped(pairs.at("bad_folder")), folder);
      EXPECT_EQ(Unescaped(pairs.at("neutral_folder")), folder);
    }
    if (pairs.contains("file")) {
      EXPECT_EQ(Unescaped(pairs.at("folder")), folder) << row[3];
      named.push_back(row[2] + " " + pairs.at("song") + " " + Unescaped(pairs.at("file")));
    }
  }
  EXPECT_THAT(named, ElementsAre("song_chosen bad " + song, "song_chosen good calm.wav",
                                 "song_start bad " + song));
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
