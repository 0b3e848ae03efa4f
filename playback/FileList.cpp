#include "playback/FileList.h"

#include <algorithm>

#include "playback/TextCase.h"

namespace orvane {

bool MatchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*" || mask == "*.*") {
    return true;
  }
  if (mask.size() > 1 && mask.front() == '*') {
    return EndsWithIgnoringCase(name, std::string_view(mask).substr(1));
  }
  return EqualIgnoringCase(name, mask);
}

void FileList::ApplyFilePath(const std::string& path) {
  if (path.empty()) {
    return;
  }
  const std::string folder = WithoutTrailingSeparator(path, style_);
  if (!directory_.empty() && SameFolder(folder, directory_, style_)) {
    return;
  }
  FolderListing listing = reader_.Read(folder);
  std::vector<std::string> entries;
  for (std::string& name : listing.names) {
    if (MatchesMask(name, mask_)) {
      entries.push_back(std::move(name));
    }
  }
  // Names equal but for case keep a fixed order between them.
  std::sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return LessIgnoringCase(a, b) || (EqualIgnoringCase(a, b) && a < b);
  });
  directory_ = std::move(listing.directory);
  entries_ = std::move(entries);
  selection_.reset();
}

void FileList::Select(std::optional<std::size_t> index) {
  selection_ = (index && *index < entries_.size()) ? index : std::nullopt;
}

std::string FileList::FileName() const {
  return selection_ ? JoinPath(directory_, entries_[*selection_], style_) : std::string();
}

}  // namespace orvane
