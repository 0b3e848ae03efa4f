#include <exception>
#include <string>

#include "app/OrvaneApplication.h"
#include "control/CalendarClock.h"
#include "log/LocalClock.h"
#include "log/QtClipboard.h"
#include "playback/audio/PortAudioOutput.h"
#include "playback/audio/StreamingSoundService.h"
#include "playback/platform/DefaultSongFolder.h"
#include "playback/view/QtFileDialog.h"
#include "ui/Fonts.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StartErrorBox.h"

namespace {

// The default folder, or none when the machine cannot say where it would be.
std::string DefaultFolderOrNone(orvane::OrvaneApplication& app) {
  try {
    return orvane::DefaultSongFolder();
  } catch (const std::exception&) {
    app.ShowException(std::current_exception());
    return {};
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication app(argc, argv);
  try {
    orvane::SetUpWindowFonts();
    orvane::PortAudioOutput output;
    orvane::StreamingSoundService sound(output);
    QtFileDialog folder_dialog(nullptr);
    orvane::QtClipboard clipboard;
    orvane::SystemLocalClock local_clock;
    orvane::SystemCalendarClock calendar_clock;

    TForm1 window({sound, folder_dialog, clipboard, local_clock, calendar_clock,
                   DefaultFolderOrNone(app), ShowStartErrorBox,
                   [&app](const std::exception_ptr& thrown) { app.ShowException(thrown); }});
    window.show();
    app.exec();
  } catch (...) {
    // An error while the window is built ends the program after its box; exit code 0 all the same.
    app.ShowException(std::current_exception());
  }
  return 0;
}
