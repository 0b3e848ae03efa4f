#pragma once

#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <string>

#include "control/CalendarClock.h"
#include "control/MonotonicClock.h"
#include "log/Clipboard.h"
#include "log/LocalClock.h"
#include "playback/FolderChoice.h"
#include "playback/SoundService.h"
#include "ui/window/MachinePower.h"

// What the main window runs on beyond its own controls. The program hands it the machine's
// sound device, dialogs, clipboard and clocks; tests hand it their own.
struct WindowServices {
  orvane::SoundService& sound;
  orvane::FileDialog& folder_dialog;
  orvane::Clipboard& clipboard;
  const orvane::LocalClock& local_clock;
  const orvane::CalendarClock& calendar_clock;
  // The folder both song lists show at start-up.
  std::string default_song_folder;
  // The modal box of a refused Start: title "Error", one OK button, at screen position 100, 100.
  std::function<void(const QString& text)> show_message;
  // The application's error box, for errors met while the window is being built.
  std::function<void(const std::exception_ptr& thrown)> show_exception;
  // Where the run's trial journal goes.
  std::filesystem::path journal_folder;
  // What must be known after the program has ended, whatever ends it: a valve that could not be
  // switched off. Called from the thread that ends the program.
  std::function<void(const std::string& text)> record_end_fault;
  // Where the program remembers a choice between runs (an INI file): the progress charts' block
  // size.
  std::filesystem::path settings_file;
  // The monotonic clock the timers measure their periods on and the run's record times itself by.
  const orvane::MonotonicClock& monotonic_clock;
  // Keeps the machine awake during a run and tells of its sleep.
  orvane::MachinePower& power;
};
