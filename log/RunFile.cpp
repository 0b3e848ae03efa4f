#include "log/RunFile.h"

#include <algorithm>
#include <utility>

namespace orvane {

RunFile::RunFile(RunFolder& folder, std::string_view ending, std::string name, Keep keep,
                 LostLine lost_line, std::size_t most_waiting_bytes)
    : folder_(folder),
      ending_(ending),
      name_(std::move(name)),
      keep_(keep),
      lost_line_(std::move(lost_line)),
      most_waiting_(most_waiting_bytes) {}

void RunFile::Append(std::string_view lines) {
  lines_ += lines;
  if (keep_ == Keep::kUnwrittenLines && lines_.size() > most_waiting_) {
    DropOldestLines();
  }
  if (const auto failure = folder_.Durable().TakeFailure(this)) {
    Fail("the file " + Quoted(path_) + " could not be made durable: " + *failure);
  }
  if (file_ && file_->Removed()) {
    last_act_file_ = JournalFile::kNoFile;
    file_.reset();
    if (keep_ == Keep::kUnwrittenLines) {
      lost_ += lines_in_file_;
      if (mid_line_) {
        // The new file must not begin with the end of a line whose start went with the old one.
        lines_.erase(0, FirstWholeLine());
        mid_line_ = false;
        ++lost_;
      }
    }
    Fail("the file " + Quoted(path_) + " was removed");
    return;  // a new one is begun at the next line
  }
  if (!file_ && !Begin()) {
    return;
  }
  WriteWaiting();
}

bool RunFile::Begin() {
  std::string reason;
  std::filesystem::path path;
  auto file = folder_.Create(ending_, path, reason);
  if (!file) {
    Fail(reason);
    return false;
  }
  last_act_file_ = JournalFile::kNoFile;
  file_ = std::move(file);
  path_ = std::move(path);
  written_ = 0;
  mid_line_ = false;
  lines_in_file_ = 0;
  folder_entry_due_ = true;
  ++files_;
  folder_.NoteMade();
  return true;
}

void RunFile::WriteWaiting() {
  if (lost_ > 0 && lost_line_) {
    lines_.insert(FirstWholeLine(), lost_line_(lost_));
    lost_ = 0;
  }
  std::string error;
  if (written_ < head_.size()) {
    written_ += file_->Write(std::string_view(head_).substr(written_), error);
  }
  if (error.empty() && written_ >= head_.size()) {
    const std::string_view waiting = std::string_view(lines_).substr(written_ - head_.size());
    const std::size_t went = file_->Write(waiting, error);
    if (went > 0) {
      const std::string_view sent = waiting.substr(0, went);
      lines_in_file_ += static_cast<std::uint64_t>(std::count(sent.begin(), sent.end(), '\n'));
      mid_line_ = sent.back() != '\n';
    }
    written_ += went;
    if (keep_ == Keep::kUnwrittenLines) {
      lines_.erase(0, written_ - head_.size());
      written_ = head_.size();
    }
  }
  if (written_ >= head_.size()) {
    last_act_mid_line_ = mid_line_;
    last_act_file_ = file_->NativeFile();
  }
  if (!error.empty()) {
    Fail("the file " + Quoted(path_) + " cannot be written: " + error);
    return;
  }
  folder_.Fine(this);
  folder_.Durable().Request(this, file_,
                            folder_entry_due_ ? std::optional(folder_.Path()) : std::nullopt);
  folder_entry_due_ = false;
}

bool RunFile::AppendAsLastAct(std::string_view lines) const noexcept {
  const JournalFile::Native file = last_act_file_.load();
  if (file == JournalFile::kNoFile) {
    return false;
  }
  // A line cut short ends there, so that the last ones stand whole.
  if (last_act_mid_line_.load() && !JournalFile::WriteAsLastAct(file, "\n")) {
    return false;
  }
  return JournalFile::WriteAsLastAct(file, lines);
}

std::size_t RunFile::FirstWholeLine() const {
  if (!mid_line_ || keep_ == Keep::kEveryLine) {
    return 0;
  }
  const std::size_t end = lines_.find('\n');
  return end == std::string::npos ? lines_.size() : end + 1;
}

void RunFile::DropOldestLines() {
  const std::size_t from = FirstWholeLine();
  std::size_t to = from;
  // Down to half the limit, so that lines are not dropped one at a time at every Append.
  while (lines_.size() - (to - from) > most_waiting_ / 2) {
    const std::size_t end = lines_.find('\n', to);
    if (end == std::string::npos) {
      break;
    }
    to = end + 1;
    ++lost_;
  }
  lines_.erase(from, to - from);
}

void RunFile::Fail(const std::string& reason) {
  folder_.Trouble(this, "The " + name_ + " cannot be written: " + reason +
                            ". The trials are still in the window.");
}

}  // namespace orvane
