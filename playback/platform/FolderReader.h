#pragma once

#include <string>
#include <vector>

namespace orvane {

struct FolderListing {
  std::string directory;           // as the file system reports it once entered
  std::vector<std::string> names;  // ordinary, visible files only, in no particular order
};

// Enters a folder and lists its files. Paths and names are UTF-8. Throws EInOutError.
class FolderReader {
 public:
  virtual ~FolderReader() = default;

  virtual FolderListing Read(const std::string& path) const = 0;
};

class FileSystemFolderReader final : public FolderReader {
 public:
  FolderListing Read(const std::string& path) const override;
};

}  // namespace orvane
