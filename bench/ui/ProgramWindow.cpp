#include "bench/ui/ProgramWindow.h"

#include <QAbstractButton>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "playback/platform/Utf8Path.h"
#include "playback/view/FileListBox.h"
#include "tests/playback/SongFiles.h"
#include "ui/window/StartErrorBox.h"

namespace orvane::bench {
namespace {

template <typename Widget>
Widget& Named(TForm1& window, const char* name) {
  auto* widget = window.findChild<Widget*>(name);
  if (widget == nullptr) {
    throw std::runtime_error(std::string("the window has no control ") + name);
  }
  return *widget;
}

// A figure taken from a window that could not load its songs would mean nothing.
void ReportAndQuit(const std::exception_ptr& thrown) {
  try {
    std::rethrow_exception(thrown);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "the window failed: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "the window failed\n");
  }
  std::exit(1);
}

}  // namespace

ProgramWindow::ProgramWindow(const std::string& song_folder, const std::string& journal_folder) {
  window_ = std::make_unique<TForm1>(WindowServices{
      sound_, folder_dialog_, clipboard_, local_clock_, calendar_clock_, FolderText(song_folder),
      ShowStartErrorBox, ReportAndQuit, PathFromUtf8(journal_folder),
      [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); },
      PathFromUtf8(journal_folder) / "settings.ini", monotonic_clock_, power_});
}

ProgramWindow::~ProgramWindow() = default;

void ProgramWindow::QuietDriver() {
  if (!device_) {
    device_ = std::make_unique<testing::SimulatedDevice>();
  }
  device_->SetRecording(false);
}

void ProgramWindow::BirdOnPerch() {
  QuietDriver();
  // The window reads the perch on line 7 of port 2; low is occupied.
  device_->ScriptRead(testing::LowOn({7}));
}

void ProgramWindow::PickSongs() {
  for (const char* name : {"bad_song_list", "good_song_list"}) {
    auto& list = Named<TFileListBox>(*window_, name);
    if (list.count() == 0) {
      throw std::runtime_error(std::string(name) + " shows no song");
    }
    list.setCurrentRow(0);
  }
}

void ProgramWindow::PressStart() {
  Named<QAbstractButton>(*window_, "Start").click();
}

int ProgramWindow::LoggedRows() const {
  return window_->Log().next_row() - 1;
}

void WriteBenchSongs(const std::string& folder) {
  const std::filesystem::path path = PathFromUtf8(folder);
  const testing::SongFormat format{2, 44100, SF_FORMAT_PCM_16};
  testing::WriteSong(path / "bad.wav", 44100, format);
  testing::WriteSong(path / "neutral.wav", 44100, format);
}

std::string FolderText(const std::string& folder) {
  std::string text = folder;
  const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  if (!text.empty() && text.back() != separator && text.back() != '/') {
    text += separator;
  }
  return text;
}

}  // namespace orvane::bench
