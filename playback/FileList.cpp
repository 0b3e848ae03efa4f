#include "playback/FileList.h"

#include <algorithm>
#include <utility>

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
  // Each name is folded once; names equal but for case keep a fixed order between them.
  std::vector<std::pair<std::u32string, std::string>> keyed;
  for (std::string& name : listing.names) {
    if (MatchesMask(name, mask_)) {
      keyed.emplace_back(CaseFolded(name), std::move(name));
    }
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string> entries;
  entries.reserve(keyed.size());
  for (auto& [key, name] : keyed) {
    entries.push_back(std::move(name));
  }
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
