#include <windows.h>

#include <vector>

#include "log/platform/SystemText.h"
#include "progress/platform/RegularFile.h"

namespace orvane {
namespace {

constexpr DWORD kPieceBytes = 1 << 20;

FileReading OpenFailed(DWORD error) {
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    return {FileRefusal::kMissing, {}};
  }
  return {FileRefusal::kUnopenable, SystemText(error)};
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
    }
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

FileReading ReadRegularFile(const std::filesystem::path& path, std::uint64_t most_bytes,
                            const std::function<bool(std::string_view piece)>& take) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return OpenFailed(GetLastError());
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {FileRefusal::kFolder, {}};
  }
  // Shared in every way, so that a run still writing the table is not disturbed. Without
  // FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, should one have taken the file's place.
  const Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    return OpenFailed(GetLastError());
  }
  // A console or a port is a character device, a named pipe a pipe: neither is read.
  switch (GetFileType(file.get())) {
    case FILE_TYPE_DISK:
      break;
    case FILE_TYPE_CHAR:
      return {FileRefusal::kDevice, {}};
    case FILE_TYPE_PIPE:
      return {FileRefusal::kPipe, {}};
    default:
      return {FileRefusal::kOther, {}};
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    return {FileRefusal::kUnopenable, SystemText(GetLastError())};
  }
  if (static_cast<std::uint64_t>(size.QuadPart) > most_bytes) {
    return {FileRefusal::kTooLarge, {}};
  }
  std::vector<char> piece(kPieceBytes);
  std::uint64_t read_so_far = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), piece.data(), kPieceBytes, &got, nullptr)) {
      return {FileRefusal::kUnreadable, SystemText(GetLastError())};
    }
    if (got == 0) {
      return {};
    }
    read_so_far += got;
    // A file that grows while it is read is held to the same limit.
    if (read_so_far > most_bytes) {
      return {FileRefusal::kTooLarge, {}};
    }
    if (!take(std::string_view(piece.data(), got))) {
      return {};
    }
  }
}

}  // namespace orvane
