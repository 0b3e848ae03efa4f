#include "app/RunOrvane.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "app/LibraryExit.h"
#include "app/RunWindow.h"
#include "app/SettingsFile.h"
#include "app/platform/SystemPower.h"
#include "control/CalendarClock.h"
#include "control/MonotonicClock.h"
#include "log/JournalFolder.h"
#include "log/LocalClock.h"
#include "log/platform/SystemClipboard.h"
#include "playback/audio/PortAudioOutput.h"
#include "playback/audio/StreamingSoundService.h"
#include "playback/platform/DefaultSongFolder.h"
#include "playback/view/QtFileDialog.h"
#include "ui/Fonts.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StartErrorBox.h"

namespace orvane {

namespace {

// The default folder, or none when the machine cannot say where it would be.
std::string DefaultFolderOrNone(OrvaneApplication& app) {
  try {
    return DefaultSongFolder();
  } catch (const std::exception&) {
    app.ShowException(std::current_exception());
    return {};
  }
}

// The one place that hears of a valve left open as the program ends, from whatever ends it: the
// run's own files are to be told here as well.
void RecordEndFault(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace

int RunOrvane(OrvaneApplication& app, const std::function<void()>& first_step) {
  try {
    if (first_step) {
      first_step();
    }
    SetUpWindowFonts();
    StreamingSoundService sound(std::make_unique<PortAudioOutput>());
    QtFileDialog folder_dialog(nullptr);
    SystemClipboard clipboard;
    SystemLocalClock local_clock;
    SystemCalendarClock calendar_clock;
    SteadyClock monotonic_clock;
    const std::unique_ptr<MachinePower> power = MakeSystemPower();

    TForm1 window(
        {sound, folder_dialog, clipboard, local_clock, calendar_clock, DefaultFolderOrNone(app),
         ShowStartErrorBox, [&app](const std::exception_ptr& thrown) { app.ShowException(thrown); },
         DefaultJournalFolder(), RecordEndFault, UserSettingsFile(), monotonic_clock, *power});
    const LibraryExit library_exit([&window] { window.EndWithoutTheLoop(); });
    // Exceptions that leave a handler go into the run's record; never after the window has gone.
    app.SetHandlerErrorListener([&window](const QString& text) { window.NoteErrorShown(text); });
    const struct ForgetWindow {
      OrvaneApplication& app;
      ~ForgetWindow() { app.SetHandlerErrorListener({}); }
    } forget_window{app};
    // Closed as the close box closes it, so the valve is shut and the device released. A crash
    // closes the valve as its last act.
    RunWindow(
        app, window, [&window](const std::string& reason) { window.NoteRunEnd(reason); },
        LastAct{&DigitalLines::WriteOffAsLastAct, &window.Lines(), &TForm1::RecordCrash, &window});
  } catch (...) {
    // An error while the window is built ends the program after its box; exit code 0 all the same.
    app.ShowException(std::current_exception());
  }
  return 0;
}

}  // namespace orvane
