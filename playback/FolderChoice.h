#pragma once

#include <optional>
#include <string>

#include "playback/FileList.h"

namespace orvane {

struct FileDialogRequest {
  std::string filter_description;  // "Sound files (*.wav)"
  std::string filter_pattern;      // "*.WAV", matched without regard to case
  std::string initial_name;        // "not relevant"
  std::string initial_folder;  // the list's folder, where the experimenter left off; may be empty
};

// A modal open-file dialog that accepts a name that does not exist.
class FileDialog {
 public:
  virtual ~FileDialog() = default;

  // The confirmed full path, or nothing when the experimenter cancelled.
  virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
};

// Lets the experimenter pick a song folder for the list. Returns the folder field's new text,
// or nothing on cancel. EInOutError from the list propagates with the field left as it was.
std::optional<std::string> ChooseSongFolder(FileDialog& dialog, FileList& list);

}  // namespace orvane
