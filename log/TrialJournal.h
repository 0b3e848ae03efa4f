#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "control/NoticeBoard.h"
#include "log/DurableSync.h"
#include "log/LocalClock.h"
#include "log/platform/JournalFile.h"

namespace orvane {

// The run's record of every logged trial, kept in a file as the experiment runs so that a crash,
// a power cut or a closed window loses none: the title text, then each row in logging order. The
// file is made at the first row, in `folder`, named after the run's start. Each row reaches the
// system before Append returns; a thread of its own makes it durable.
//
// A failure never reaches the caller: it is posted once as a notice, the rows not yet written
// wait, and the next row tries again, in the same file, or in a new one holding the whole run
// when the old one is gone. Every row of the run is kept for that.
class TrialJournal {
 public:
  TrialJournal(std::filesystem::path folder, const LocalDateTime& run_start, NoticeBoard& notices);

  // `title` starts every file of the run; `row` is one LF-ended line.
  void Append(std::string_view title, std::string_view row);

  // The full path of the file being written, empty before the first one exists.
  const std::filesystem::path& Path() const { return path_; }
  // How many files the run has had: changes when a new one is begun.
  int Files() const { return files_; }

 private:
  // The reason a new file could not be begun, or empty once it is open.
  std::string BeginFile();
  void Fail(const std::string& reason);

  std::filesystem::path folder_;
  LocalDateTime run_start_;
  NoticeBoard& notices_;

  std::string title_;
  std::string rows_;
  std::shared_ptr<JournalFile> file_;
  std::filesystem::path path_;
  // Bytes of title and rows in the file: what is beyond waits for the next try.
  std::size_t written_ = 0;
  int files_ = 0;
  bool failing_ = false;
  DurableSync durable_;
};

}  // namespace orvane
