#pragma once

#include <optional>
#include <string>
#include <vector>

#include "playback/platform/FolderReader.h"
#include "playback/platform/PathStyle.h"

namespace orvane {

// The files of one song folder that match the mask, and the one the experimenter picked.
class FileList {
 public:
  explicit FileList(const FolderReader& reader, PathStyle style = NativePathStyle())
      : reader_(reader), style_(style) {}

  // Points the list at a folder and re-reads it, unless it already shows that folder.
  // Throws EInOutError and leaves the list as it was when the folder cannot be entered.
  void ApplyFilePath(const std::string& path);

  const std::string& Directory() const { return directory_; }
  const std::string& Mask() const { return mask_; }
  const std::vector<std::string>& Entries() const { return entries_; }
  std::optional<std::size_t> Selection() const { return selection_; }
  // An index outside the entries selects nothing.
  void Select(std::optional<std::size_t> index);

  // The selected entry's full path; empty when nothing is selected.
  std::string FileName() const;
  const PathStyle& Style() const { return style_; }

 private:
  const FolderReader& reader_;
  PathStyle style_;
  std::string directory_;
  std::string mask_ = "*.wav";
  std::vector<std::string> entries_;
  std::optional<std::size_t> selection_;
};

// True when a file name matches a mask of the form "*.ext", ignoring letter case.
bool MatchesMask(const std::string& name, const std::string& mask);

}  // namespace orvane
