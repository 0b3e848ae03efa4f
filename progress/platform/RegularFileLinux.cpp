#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "log/platform/SystemText.h"
#include "progress/platform/RegularFile.h"

namespace orvane {
namespace {

constexpr std::size_t kPieceBytes = 1 << 20;

FileRefusal RefusalOfType(mode_t mode) {
  if (S_ISREG(mode)) {
    return FileRefusal::kNone;
  }
  if (S_ISDIR(mode)) {
    return FileRefusal::kFolder;
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return FileRefusal::kDevice;
  }
  if (S_ISFIFO(mode) || S_ISSOCK(mode)) {
    return FileRefusal::kPipe;
  }
  return FileRefusal::kOther;
}

FileReading OpenFailed(int error) {
  if (error == ENOENT || error == ENOTDIR) {
    return {FileRefusal::kMissing, {}};
  }
  return {FileRefusal::kUnopenable, SystemText(static_cast<unsigned long>(error))};
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

FileReading ReadRegularFile(const std::filesystem::path& path, std::uint64_t most_bytes,
                            const std::function<bool(std::string_view piece)>& take) {
  // Told by its name first, so that a device is never opened: opening some has effects.
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    return OpenFailed(errno);
  }
  if (const FileRefusal refusal = RefusalOfType(status.st_mode); refusal != FileRefusal::kNone) {
    return {refusal, {}};
  }
  // Without waiting, should a pipe have taken the file's place since.
  const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.fd() < 0) {
    return OpenFailed(errno);
  }
  if (fstat(file.fd(), &status) != 0) {
    return {FileRefusal::kUnopenable, SystemText(static_cast<unsigned long>(errno))};
  }
  if (const FileRefusal refusal = RefusalOfType(status.st_mode); refusal != FileRefusal::kNone) {
    return {refusal, {}};
  }
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (size > most_bytes) {
    return {FileRefusal::kTooLarge, {}};
  }
  std::vector<char> piece(kPieceBytes);
  std::uint64_t read_so_far = 0;
  for (;;) {
    const ssize_t got = read(file.fd(), piece.data(), piece.size());
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return {FileRefusal::kUnreadable, SystemText(static_cast<unsigned long>(errno))};
    }
    if (got == 0) {
      return {};
    }
    read_so_far += static_cast<std::uint64_t>(got);
    // A file that grows while it is read is held to the same limit.
    if (read_so_far > most_bytes) {
      return {FileRefusal::kTooLarge, {}};
    }
    if (!take(std::string_view(piece.data(), static_cast<std::size_t>(got)))) {
      return {};
    }
  }
}

}  // namespace orvane
