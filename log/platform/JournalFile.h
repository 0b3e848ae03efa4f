#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

// One journal file, open for writing, with the platform's calls to make its bytes durable.
// Error texts are UTF-8, in the system's words.
class JournalFile {
 public:
  struct Failure {
    bool exists = false;  // the name is taken, which is no error: the caller tries another
    std::string text;
  };

  // Creates a new file at `path`, never opening one that exists.
  static std::unique_ptr<JournalFile> Create(const std::filesystem::path& path, Failure& failure);

  ~JournalFile();
  JournalFile(const JournalFile&) = delete;
  JournalFile& operator=(const JournalFile&) = delete;

  // Hands `bytes` to the system, all of them or up to the first error; returns how many went.
  std::size_t Write(std::string_view bytes, std::string& error);
  // Makes what was written durable (fsync, FlushFileBuffers). Safe beside Write on another thread.
  bool Sync(std::string& error);
  // True once the file has been deleted from its folder while still open.
  bool Removed() const;

  // The file as the system names it (a descriptor or a handle), for a crash's last lines.
  using Native = std::intptr_t;
  static constexpr Native kNoFile = -1;
  Native NativeFile() const;
  // Hands `bytes` to the system from a crash handler: no allocation, no lock. False when not all
  // of them went.
  static bool WriteAsLastAct(Native file, std::string_view bytes) noexcept;

 private:
  struct Handle;
  explicit JournalFile(std::unique_ptr<Handle> handle);

  std::unique_ptr<Handle> handle_;
};

// Makes a new file's entry in `folder` durable, where the system needs that done apart.
bool SyncFolder(const std::filesystem::path& folder, std::string& error);

}  // namespace orvane
