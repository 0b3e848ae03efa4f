#pragma once

#include <QString>

#include <memory>
#include <string>

#include "control/MonotonicClock.h"
#include "log/LocalClock.h"
#include "log/platform/SystemClipboard.h"
#include "playback/audio/StreamingSoundService.h"
#include "playback/audio/VirtualOutput.h"
#include "playback/view/QtFileDialog.h"
#include "tests/io/support/SimulatedDevice.h"
#include "ui/window/MachinePower.h"
#include "ui/window/MainWindow.h"

namespace orvane::bench {

// A benchmark leaves the machine's power as it is.
class UntouchedPower final : public MachinePower {
 public:
  void Listen(Listener) override {}
  void StayAwake(std::uintptr_t) override {}
  void AllowSleep() override {}
};

// The main window with the services the program hands it, except for two stand-ins: a virtual
// output device, so that no sound server is needed, and the simulated acquisition driver,
// found on the library search path as the program finds the real one. The application object
// must exist, with the window fonts set up, before this is built.
class ProgramWindow {
 public:
  // The run's trial journal goes into `journal_folder`.
  ProgramWindow(const std::string& song_folder, const std::string& journal_folder);
  ~ProgramWindow();

  TForm1& window() { return *window_; }

  // Loads the driver now if the window has not yet touched it; its calls are no longer kept,
  // so that a long run does not grow with them.
  void QuietDriver();
  // Every later read of the perch line finds the bird on the perch.
  void BirdOnPerch();
  // Picks the first song of each list, as a click on it would.
  void PickSongs();
  void PressStart();
  // Rows the log holds.
  int LoggedRows() const;

 private:
  VirtualOutput output_{VirtualOutput::Pace::kRealTime};
  StreamingSoundService sound_{output_};
  QtFileDialog folder_dialog_{nullptr};
  SystemClipboard clipboard_;
  SystemLocalClock local_clock_;
  SystemCalendarClock calendar_clock_;
  SteadyClock monotonic_clock_;
  UntouchedPower power_;
  std::unique_ptr<TForm1> window_;
  std::unique_ptr<testing::SimulatedDevice> device_;
};

// Writes the two songs both lists pick from: a second each, at CD rate.
void WriteBenchSongs(const std::string& folder);

// The folder text both lists are pointed at, with its closing separator as the program gives it.
std::string FolderText(const std::string& folder);

}  // namespace orvane::bench
