#include "playback/FolderChoice.h"

namespace orvane {

std::optional<std::string> ChooseSongFolder(FileDialog& dialog, FileList& list) {
  const std::optional<std::string> chosen =
      dialog.ChooseFile({"Sound files (*.wav)", "*.WAV", "not relevant", list.Directory()});
  if (!chosen) {
    return std::nullopt;
  }
  list.ApplyFilePath(FolderPart(*chosen, list.Style()));
  return list.Directory() + list.Style().separator;
}

}  // namespace orvane
