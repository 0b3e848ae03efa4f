#include "log/TrialJournal.h"

#include <system_error>
#include <utility>

#include "log/JournalName.h"

namespace orvane {
namespace {

// A run that cannot find a free name among these has a folder gone wrong.
constexpr int kNameAttempts = 1000;

std::string Shown(const std::filesystem::path& path) {
  // Appended rather than concatenated: GCC 12 sees a false overlap in "\"" + std::string&&.
  const std::u8string text = path.u8string();
  std::string shown(1, '"');
  shown.append(text.begin(), text.end());
  shown.push_back('"');
  return shown;
}

}  // namespace

TrialJournal::TrialJournal(std::filesystem::path folder, const LocalDateTime& run_start,
                           NoticeBoard& notices)
    : folder_(std::move(folder)), run_start_(run_start), notices_(notices) {
  folder_.make_preferred();  // shown in the system's own way in messages and the tooltip
}

void TrialJournal::Append(std::string_view title, std::string_view row) {
  if (title_.empty()) {
    title_ = title;
  }
  rows_ += row;
  if (const auto failure = durable_.TakeFailure()) {
    Fail("the file " + Shown(path_) + " could not be made durable: " + *failure);
  }
  if (file_ && file_->Removed()) {
    file_.reset();
    Fail("the file " + Shown(path_) + " was removed");
    return;  // a new one is begun at the next trial
  }
  bool begun = false;
  if (!file_) {
    if (const std::string reason = BeginFile(); !reason.empty()) {
      Fail(reason);
      return;
    }
    begun = true;
  }
  std::string error;
  if (written_ < title_.size()) {
    written_ += file_->Write(std::string_view(title_).substr(written_), error);
  }
  if (error.empty()) {
    written_ += file_->Write(std::string_view(rows_).substr(written_ - title_.size()), error);
  }
  if (!error.empty()) {
    Fail("the file " + Shown(path_) + " cannot be written: " + error);
    return;
  }
  failing_ = false;
  durable_.Request(file_, begun ? std::optional(folder_) : std::nullopt);
}

std::string TrialJournal::BeginFile() {
  if (folder_.empty()) {
    return "the documents folder is not known";
  }
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (error) {
    return "the folder " + Shown(folder_) + " cannot be made: " + error.message();
  }
  for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
    const std::filesystem::path path = folder_ / JournalFileName(run_start_, attempt);
    JournalFile::Failure failure;
    if (auto file = JournalFile::Create(path, failure)) {
      file_ = std::move(file);
      path_ = path;
      written_ = 0;
      ++files_;
      return {};
    }
    if (!failure.exists) {
      return "the file " + Shown(path) + " cannot be made: " + failure.text;
    }
  }
  return "every name for this run's file is taken in " + Shown(folder_);
}

void TrialJournal::Fail(const std::string& reason) {
  if (!failing_) {
    failing_ = true;
    notices_.Post("The trial journal cannot be written: " + reason +
                  ". The trials are still in the window.");
  }
}

}  // namespace orvane
