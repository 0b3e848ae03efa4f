#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "log/platform/JournalFile.h"
#include "log/platform/SystemText.h"

namespace orvane {
struct JournalFile::Handle {
  int fd = -1;
};

JournalFile::JournalFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

JournalFile::~JournalFile() {
  close(handle_->fd);
}

std::unique_ptr<JournalFile> JournalFile::Create(const std::filesystem::path& path,
                                                 Failure& failure) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    failure.exists = errno == EEXIST;
    failure.text = SystemText(errno);
    return nullptr;
  }
  auto handle = std::make_unique<Handle>();
  handle->fd = fd;
  return std::unique_ptr<JournalFile>(new JournalFile(std::move(handle)));
}

std::size_t JournalFile::Write(std::string_view bytes, std::string& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(handle_->fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      error = SystemText(errno);
      break;
    }
    done += static_cast<std::size_t>(written);
  }
  return done;
}

bool JournalFile::Sync(std::string& error) {
  if (fdatasync(handle_->fd) != 0) {
    error = SystemText(errno);
    return false;
  }
  return true;
}

bool JournalFile::Removed() const {
  struct stat status {};
  return fstat(handle_->fd, &status) == 0 && status.st_nlink == 0;
}

JournalFile::Native JournalFile::NativeFile() const {
  return handle_->fd;
}

bool JournalFile::WriteAsLastAct(Native file, std::string_view bytes) noexcept {
  const int fd = static_cast<int>(file);
  std::size_t done = 0;
  while (fd >= 0 && done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return fd >= 0;
}

bool SyncFolder(const std::filesystem::path& folder, std::string& error) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 || fsync(fd) != 0) {
    error = SystemText(errno);
    if (fd >= 0) {
      close(fd);
    }
    return false;
  }
  close(fd);
  return true;
}

}  // namespace orvane
