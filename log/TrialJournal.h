#pragma once

#include <filesystem>
#include <string_view>

#include "log/RunFile.h"
#include "log/RunFolder.h"

namespace orvane {

// The run's record of every logged trial as Copy writes it: the title text, then each row in
// logging order, kept whole so that a file lost on the way is written again in full.
class TrialJournal {
 public:
  explicit TrialJournal(RunFolder& folder)
      : file_(folder, kJournalEnding, "trial journal", RunFile::Keep::kEveryLine) {}

  // `title` starts every file of the run; `row` is one LF-ended line.
  void Append(std::string_view title, std::string_view row) {
    if (!file_.HasHead()) {
      file_.SetHead(std::string(title));
    }
    file_.Append(row);
  }

  const std::filesystem::path& Path() const { return file_.Path(); }
  int Files() const { return file_.Files(); }

 private:
  RunFile file_;
};

}  // namespace orvane
