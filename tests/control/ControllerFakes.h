#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "control/CalendarClock.h"
#include "control/ControllerView.h"
#include "control/ExperimentSettings.h"
#include "control/KindChooser.h"
#include "control/PerchAndPuffer.h"
#include "control/Player.h"
#include "control/SongListHighlight.h"
#include "control/Timer.h"
#include "control/TrialController.h"
#include "control/TrialLogger.h"

namespace orvane::fakes {

// The window's defaults; tests change the fields they need, as a user moves a control.
struct FakeSettings final : ExperimentSettings {
  double odds = 1.0 / 10.0;
  std::int32_t neutral_share_item = 2;
  std::int32_t selection_mode = 0;
  std::int32_t serial_block_length = 10;
  std::int32_t serial_start_item = 0;
  double puff_delay = 20 / 10.0;
  std::int32_t puff_duration = 10;
  double perch_line = 7;

  double Odds() const override { return odds; }
  std::int32_t NeutralShareItem() const override { return neutral_share_item; }
  std::int32_t SelectionMode() const override { return selection_mode; }
  std::int32_t SerialBlockLength() const override { return serial_block_length; }
  std::int32_t SerialStartItem() const override { return serial_start_item; }
  double PuffDelay() const override { return puff_delay; }
  std::int32_t PuffDuration() const override { return puff_duration; }
  double PerchLine() const override { return perch_line; }
};

// Everything that reaches the outside world, in call order, as short words.
struct EventLog {
  std::vector<std::string> events;
  void Add(std::string event) { events.push_back(std::move(event)); }
  std::vector<std::string> Take() { return std::exchange(events, {}); }
};

struct FakeLines final : PerchAndPuffer {
  explicit FakeLines(EventLog& log) : log(log) {}
  EventLog& log;
  bool bird_on_perch = true;
  bool valve_open = false;
  int reads = 0;

  bool ReadPerch() override {
    ++reads;
    return bird_on_perch;
  }
  void PuffOn() override {
    valve_open = true;
    log.Add("PuffOn");
  }
  void PuffOff() override {
    valve_open = false;
    log.Add("PuffOff");
  }
};

// Returns the kinds it is given, one a call, then 0; counts its calls by mode.
struct ScriptedChooser final : KindChooser {
  std::deque<SongKind> script;
  int random_calls = 0;
  int serial_calls = 0;

  SongKind Next() {
    if (script.empty()) {
      return kNoTrial;
    }
    const SongKind kind = script.front();
    script.pop_front();
    return kind;
  }
  SongKind ChooseRandomKind() override {
    ++random_calls;
    return Next();
  }
  SongKind ChooseSerialKind() override {
    ++serial_calls;
    return Next();
  }
};

struct FakePlayer final : Player {
  FakePlayer(EventLog& log, std::string name) : log(log), name(std::move(name)) {}
  EventLog& log;
  std::string name;
  bool enabled = true;
  bool throws = false;

  void Play() override {
    if (throws) {
      throw std::runtime_error("No MCI device open");
    }
    log.Add("Play " + name);
  }
  bool Enabled() const override { return enabled; }
};

struct LoggedTrial {
  SongKind kind;
  bool perch_occupied;
  bool operator==(const LoggedTrial&) const = default;
};

struct RecordingLog final : TrialLogger {
  explicit RecordingLog(EventLog& log) : log(log) {}
  EventLog& log;
  std::vector<LoggedTrial> trials;

  void LogTrial(SongKind kind, bool perch_occupied) override {
    trials.push_back({kind, perch_occupied});
    log.Add(std::string("Log ") + (kind == kNeutralSong ? "good" : "bad") +
            (perch_occupied ? " stayed" : " escaped"));
  }
};

struct FakeView final : ControllerView {
  Colour colour = colours::kSilver;
  std::vector<std::string> messages;
  void SetWindowColour(Colour c) override { colour = c; }
  void ShowErrorMessage(std::string_view text) override { messages.emplace_back(text); }
};

// Ticked by hand; the window's timers are tested on Qt's event loop.
struct FakeTimer final : Timer {
  bool enabled = false;
  void Enable() override { enabled = true; }
  void Disable() override { enabled = false; }
  bool IsEnabled() const override { return enabled; }
};

struct FakeLists final : SongListHighlight {
  Colour bad = colours::kWhite;
  Colour good = colours::kWhite;
  void SetBadListColour(Colour c) override { bad = c; }
  void SetGoodListColour(Colour c) override { good = c; }
};

struct FixedClock final : CalendarClock {
  std::int64_t seconds = 1'700'000'000;
  std::int64_t SecondsSinceEpoch() const override { return seconds; }
};

// A controller over substitutes, ticked by hand the way the window's timers would tick it.
struct ControllerRig {
  EventLog events;
  FakeSettings settings;
  FakeLines lines{events};
  ScriptedChooser chooser;
  FakePlayer play_good{events, "good"};
  FakePlayer play_bad{events, "bad"};
  RecordingLog log{events};
  FakeView view;
  FakeTimer timer1;
  FakeTimer timer2;
  TrialController controller{
      {settings, lines, chooser, play_good, play_bad, log, view, timer1, timer2}};
  int tick = 0;  // number of the last Timer1 tick delivered

  // Delivers Timer1 ticks up to and including tick `last`, while the timer is enabled.
  void TickUntil(int last) {
    while (tick < last) {
      ++tick;
      if (timer1.enabled) {
        controller.Timer1Timer();
      }
    }
  }
  // Delivers one tick and returns what it did.
  std::vector<std::string> Tick() {
    TickUntil(tick + 1);
    return events.Take();
  }
  void ManualTicks(int count) {
    for (int i = 0; i < count && timer2.enabled; ++i) {
      controller.Timer2Timer();
    }
  }
};

}  // namespace orvane::fakes
