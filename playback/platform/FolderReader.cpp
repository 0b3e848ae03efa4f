#include "playback/platform/FolderReader.h"

#include <filesystem>
#include <system_error>

#include "playback/Errors.h"
#include "playback/platform/IoErrorText.h"
#include "playback/platform/Utf8Path.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace orvane {

namespace fs = std::filesystem;

[[noreturn]] static void ThrowIoError(const std::error_code& code) {
  throw EInOutError(IoErrorMessage(ClassifySystemError(code)));
}

static bool IsHidden(const fs::directory_entry& entry) {
#if defined(_WIN32)
  const DWORD attributes = GetFileAttributesW(entry.path().c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
  const std::string name = entry.path().filename().string();
  return !name.empty() && name.front() == '.';
#endif
}

FolderListing FileSystemFolderReader::Read(const std::string& path) const {
  std::error_code error;
  const fs::path folder = fs::canonical(PathFromUtf8(path), error);
  if (error) {
    ThrowIoError(error);
  }
  if (!fs::is_directory(folder, error)) {
    ThrowIoError(error ? error : std::make_error_code(std::errc::not_a_directory));
  }
  FolderListing listing{Utf8FromPath(folder), {}};
  fs::directory_iterator it(folder, error);
  if (error) {
    ThrowIoError(error);
  }
  for (const fs::directory_entry& entry : it) {
    std::error_code type_error;
    // A file that vanishes or cannot be examined while listing is simply not listed.
    if (entry.is_regular_file(type_error) && !IsHidden(entry)) {
      listing.names.push_back(Utf8FromPath(entry.path().filename()));
    }
  }
  return listing;
}

}  // namespace orvane
