#include <windows.h>

#include <algorithm>
#include <string>

#include "log/platform/JournalFile.h"
#include "log/platform/SystemText.h"

namespace orvane {

struct JournalFile::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
};

JournalFile::JournalFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

JournalFile::~JournalFile() {
  CloseHandle(handle_->file);
}

std::unique_ptr<JournalFile> JournalFile::Create(const std::filesystem::path& path,
                                                 Failure& failure) {
  // Others may read it while it is written (a spreadsheet opening the day's trials), but not
  // delete or rename it under the program.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    failure.exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    failure.text = SystemText(error);
    return nullptr;
  }
  auto handle = std::make_unique<Handle>();
  handle->file = file;
  return std::unique_ptr<JournalFile>(new JournalFile(std::move(handle)));
}

std::size_t JournalFile::Write(std::string_view bytes, std::string& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle_->file, bytes.data() + done, chunk, &written, nullptr)) {
      error = SystemText(GetLastError());
      break;
    }
    if (written == 0) {
      error = SystemText(ERROR_DISK_FULL);
      break;
    }
    done += written;
  }
  return done;
}

bool JournalFile::Sync(std::string& error) {
  if (!FlushFileBuffers(handle_->file)) {
    error = SystemText(GetLastError());
    return false;
  }
  return true;
}

bool JournalFile::Removed() const {
  FILE_STANDARD_INFO info{};
  return GetFileInformationByHandleEx(handle_->file, FileStandardInfo, &info, sizeof info) &&
         info.DeletePending;
}

JournalFile::Native JournalFile::NativeFile() const {
  return reinterpret_cast<Native>(handle_->file);
}

bool JournalFile::WriteAsLastAct(Native file, std::string_view bytes) noexcept {
  const HANDLE handle = reinterpret_cast<HANDLE>(file);
  std::size_t done = 0;
  while (handle != INVALID_HANDLE_VALUE && done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return handle != INVALID_HANDLE_VALUE;
}

bool SyncFolder(const std::filesystem::path&, std::string&) {
  // NTFS keeps a new file's folder entry in its own journal.
  return true;
}

}  // namespace orvane
