#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "log/RunFolder.h"
#include "log/platform/JournalFile.h"

namespace orvane {

// One of a run's files, kept as the run goes so that a crash, a power cut or a closed window
// loses nothing: a head, then lines. The file is made at the first line. Each line reaches the
// system before Append returns; the run folder's thread makes it durable.
//
// A failure never reaches the caller: it is told through the run's folder, the lines not yet
// written wait, and the next Append tries again, in the same file, or in a new one under the same
// name when the old one is gone. What a new file holds depends on what is kept: every line of the
// run, or only those not yet written, so that a long run's memory does not grow with its lines.
// Then a new file starts, after its head, with a line telling how many lines it lacks, and lines
// that wait beyond a limit are dropped, oldest first, and told the same way.
class RunFile {
 public:
  enum class Keep { kEveryLine, kUnwrittenLines };
  // The line that tells of `lost` lines missing at its place.
  using LostLine = std::function<std::string(std::uint64_t lost)>;

  // `name` says what the file is in messages: "trial journal".
  RunFile(RunFolder& folder, std::string_view ending, std::string name, Keep keep,
          LostLine lost_line = {}, std::size_t most_waiting_bytes = 4 << 20);

  // What every file of the run begins with; given before the first line.
  void SetHead(std::string head) { head_ = std::move(head); }
  bool HasHead() const { return !head_.empty(); }
  // Whole LF-ended lines.
  void Append(std::string_view lines);

  // The full path of the file being written, empty before the first one exists.
  const std::filesystem::path& Path() const { return path_; }
  // How many files the run has had: changes when a new one is begun.
  int Files() const { return files_; }

  // For a crash's last act, from its handler: appends whole lines to the file as it stands, after
  // the head and its last whole line, with no allocation and no lock. False without such a file.
  bool AppendAsLastAct(std::string_view lines) const noexcept;

 private:
  bool Begin();
  void WriteWaiting();
  void Fail(const std::string& reason);
  // Where the waiting whole lines begin: after the rest of a line the file holds part of.
  std::size_t FirstWholeLine() const;
  void DropOldestLines();

  RunFolder& folder_;
  std::string ending_;
  std::string name_;
  Keep keep_;
  LostLine lost_line_;
  std::size_t most_waiting_;

  std::string head_;
  // Every line of the run, or those not yet written.
  std::string lines_;
  std::shared_ptr<JournalFile> file_;
  std::filesystem::path path_;
  // Bytes of head and lines in the file: what is beyond waits for the next try.
  std::size_t written_ = 0;
  // The file ends inside a line.
  bool mid_line_ = false;
  std::uint64_t lines_in_file_ = 0;
  std::uint64_t lost_ = 0;
  bool folder_entry_due_ = false;
  int files_ = 0;
  // What a crash handler may read: the file once its head is in it, and whether it ends mid-line.
  std::atomic<JournalFile::Native> last_act_file_{JournalFile::kNoFile};
  std::atomic<bool> last_act_mid_line_{false};
};

}  // namespace orvane
