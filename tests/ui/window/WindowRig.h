#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "control/CalendarClock.h"
#include "control/MonotonicClock.h"
#include "log/Clipboard.h"
#include "log/LocalClock.h"
#include "playback/FolderChoice.h"
#include "playback/audio/StreamingSoundService.h"
#include "playback/audio/VirtualOutput.h"
#include "playback/view/FileListBox.h"
#include "tests/io/support/SimulatedDevice.h"
#include "tests/playback/PlayerRig.h"
#include "tests/playback/SongFiles.h"
#include "ui/window/MachinePower.h"
#include "ui/window/MainWindow.h"
#include "ui/window/RadioGroup.h"
#include "ui/window/WindowServices.h"

namespace orvane::testing {

class RecordingClipboard final : public Clipboard {
 public:
  void SetText(std::string_view utf8) override { texts.emplace_back(utf8); }
  std::vector<std::string> texts;
};

class FixedLocalClock final : public LocalClock {
 public:
  LocalDateTime Now() const override { return {2024, 3, 21, 14, 5, 9, 250}; }
};

class FixedCalendarClock final : public CalendarClock {
 public:
  std::int64_t SecondsSinceEpoch() const override { return 1700000000; }
};

// The window's monotonic clock: the steady clock, until a test holds it still to move it by hand.
class TestClock final : public MonotonicClock {
 public:
  TimePoint Now() const override { return held_ ? *held_ : std::chrono::steady_clock::now(); }
  void Hold() {
    if (!held_) {
      held_ = std::chrono::steady_clock::now();
    }
  }
  void Advance(std::chrono::milliseconds by) {
    Hold();
    *held_ += by;
  }

 private:
  std::optional<TimePoint> held_;
};

// The machine's power as the window sees it: its requests noted, and the machine's sleep, its
// wake and a refusal to stay awake played by the test through the listener.
class FakeMachinePower final : public MachinePower {
 public:
  void Listen(Listener to) override { listener = std::move(to); }
  void StayAwake(std::uintptr_t) override {
    requests.push_back("stay awake");
    if (refusal && listener.refused) {
      listener.refused(*refusal);
    }
  }
  void AllowSleep() override { requests.push_back("allow sleep"); }

  Listener listener;
  std::vector<std::string> requests;
  std::optional<std::string> refusal;  // given at every request to stay awake
};

// A folder dialog that must not come up: the window tests pick folders through the form.
class NoDialog final : public FileDialog {
 public:
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override {
    ++shown;
    return std::nullopt;
  }
  int shown = 0;
};

// Everything the window runs on, faked or virtual, with a song folder of its own as the default
// folder and the simulated driver reset before the window opens its tasks. The virtual sound
// device takes the songs in real time; how long it stands still is told by a held clock.
class WindowRig {
 public:
  // The default folder holds these song files (generated WAV files) unless told otherwise.
  explicit WindowRig(const std::vector<std::string>& songs = {"alarm.wav", "calm.wav"});
  ~WindowRig();

  // Builds the window over the rig's services, pointing it at `default_folder` when given.
  TForm1& Open(std::optional<std::string> default_folder = std::nullopt);
  TForm1& window() { return *window_; }
  Ui::TForm1& form() { return window_->Controls(); }

  // Clicks the named entry of a song list as the experimenter would.
  void ClickSong(TFileListBox& list, const QString& name);
  // Picks an item of a radio group with the mouse, on its round button.
  static void PickItem(TRadioGroup& group, int item);
  // Picks both songs, bad songs only with the highest odds and short delays, the bird on the
  // perch, and presses Start: trials come quickly.
  void StartQuickBadTrials();
  // One tick of the controller, straight into its handler.
  void Tick(int count = 1);
  // Ticks until the log holds `rows` decided trials; false when that takes more than `limit`.
  bool TickUntilDecided(int rows, int limit = 1000);
  int DecidedTrials() const;
  // The driver calls received since the window was built whose text starts with `prefix`.
  std::vector<std::string> DriverCalls(const std::string& prefix = "") const;

  TempFolder songs;
  TempFolder journals;  // the run's journal goes into the folder "Orvane" in here
  SimulatedDevice device;
  VirtualOutput output{VirtualOutput::Pace::kRealTime};
  HeldClock sound_clock;
  StreamingSoundService sound{output, sound_clock};
  NoDialog dialog;
  RecordingClipboard clipboard;
  FixedLocalClock local_clock;
  FixedCalendarClock calendar_clock;
  TestClock clock;
  FakeMachinePower power;
  QStringList messages;    // the refused Start's box
  QStringList exceptions;  // the application's error box, as it would read
  QStringList end_faults;  // what the program would leave on standard error as it ends
  // Runs while the application's error box would be open, after its text was noted.
  std::function<void()> while_box_open;

 private:
  std::unique_ptr<TForm1> window_;
};

// The driver's text for a write of the puff-off and puff-on patterns.
inline const char* const kPuffOffWrite =
    "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 0 0 0 0 0], null, null)";
inline const char* const kPuffOnWrite =
    "DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 1 0 0 0 0], null, null)";

}  // namespace orvane::testing

// Readable failure messages for Qt's texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
  *out << '{' << texts.join(", ").toStdString() << '}';
}
