#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace orvane {

// Why a file was not read, or not to its end.
enum class FileRefusal {
  kNone,        // read to its end
  kMissing,     // no such file
  kFolder,      // a folder
  kDevice,      // a device, such as a disk or /dev/zero
  kPipe,        // a pipe (a FIFO) or, on Linux, a socket
  kOther,       // something else that is not a file the system keeps on disk
  kTooLarge,    // larger than the limit
  kUnopenable,  // no access, a name the system refuses, ...: the system's words say why
  kUnreadable,  // a read failed partway: the system's words say why
};

struct FileReading {
  FileRefusal refusal = FileRefusal::kNone;
  std::string error;  // the system's words, for kUnopenable and kUnreadable
};

// Hands the bytes of the file at `path` to `take`, in pieces from first to last, when it is a
// regular file of at most `most_bytes`; `take` returns false to stop the reading early. Anything
// else is refused before a byte of it is read: a folder, a device or a pipe could keep a reader
// waiting for ever, or feed it without end. No call waits for a writer. Any path the system can
// name is read: on Linux its bytes, whether UTF-8 or not, on Windows its UTF-16 text.
FileReading ReadRegularFile(const std::filesystem::path& path, std::uint64_t most_bytes,
                            const std::function<bool(std::string_view piece)>& take);

}  // namespace orvane
