#include "app/RunOrvane.h"

#include <exception>
#include <string>

#include "app/RunWindow.h"
#include "app/SettingsFile.h"
#include "control/CalendarClock.h"
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

}  // namespace

int RunOrvane(OrvaneApplication& app, const std::function<void()>& first_step) {
  try {
    if (first_step) {
      first_step();
    }
    SetUpWindowFonts();
    PortAudioOutput output;
    StreamingSoundService sound(output);
    QtFileDialog folder_dialog(nullptr);
    SystemClipboard clipboard;
    SystemLocalClock local_clock;
    SystemCalendarClock calendar_clock;

    TForm1 window({sound, folder_dialog, clipboard, local_clock, calendar_clock,
                   DefaultFolderOrNone(app), ShowStartErrorBox,
                   [&app](const std::exception_ptr& thrown) { app.ShowException(thrown); },
                   DefaultJournalFolder(), UserSettingsFile()});
    // Closed as the close box closes it, so the valve is shut and the device released.
    RunWindow(app, window);
  } catch (...) {
    // An error while the window is built ends the program after its box; exit code 0 all the same.
    app.ShowException(std::current_exception());
  }
  return 0;
}

}  // namespace orvane
