#include "log/RunFolder.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "log/JournalName.h"

namespace orvane {
namespace {

// A run that cannot find a free name among these has a folder gone wrong.
constexpr int kNameAttempts = 1000;

}  // namespace

std::string Quoted(const std::filesystem::path& path) {
  // Appended rather than concatenated: GCC 12 sees a false overlap in "\"" + std::string&&.
  const std::u8string text = path.u8string();
  std::string shown(1, '"');
  shown.append(text.begin(), text.end());
  shown.push_back('"');
  return shown;
}

RunFolder::RunFolder(std::filesystem::path folder, const LocalDateTime& run_start,
                     NoticeBoard& notices)
    : folder_(std::move(folder)), run_start_(run_start), notices_(notices) {
  folder_.make_preferred();  // shown in the system's own way in messages and the tooltip
}

std::unique_ptr<JournalFile> RunFolder::Create(std::string_view ending, std::filesystem::path& path,
                                               std::string& reason) {
  if (folder_.empty()) {
    reason = "the documents folder is not known";
    return nullptr;
  }
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (error) {
    reason = "the folder " + Quoted(folder_) + " cannot be made: " + error.message();
    return nullptr;
  }
  bool taken = false;
  if (stem_) {
    path = folder_ / (*stem_ + std::string(ending));
    auto file = CreateNamed(path, reason, taken);
    if (taken) {
      reason = "the file " + Quoted(path) + " was made by someone else";
    }
    return file;
  }
  for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
    const std::string stem = RunFileStem(run_start_, attempt);
    const bool another_taken =
        std::any_of(kRunFileEndings.begin(), kRunFileEndings.end(), [&](std::string_view other) {
          return other != ending && std::filesystem::exists(folder_ / (stem + std::string(other)));
        });
    if (another_taken) {
      continue;
    }
    path = folder_ / (stem + std::string(ending));
    if (auto file = CreateNamed(path, reason, taken)) {
      stem_ = stem;
      return file;
    }
    if (!taken) {
      return nullptr;
    }
  }
  reason = "every name for this run's files is taken in " + Quoted(folder_);
  return nullptr;
}

std::unique_ptr<JournalFile> RunFolder::CreateNamed(const std::filesystem::path& path,
                                                    std::string& reason, bool& taken) {
  JournalFile::Failure failure;
  auto file = JournalFile::Create(path, failure);
  taken = failure.exists;
  if (!file) {
    reason = "the file " + Quoted(path) + " cannot be made: " + failure.text;
  }
  return file;
}

void RunFolder::Trouble(const void* file, std::string text) {
  if (in_trouble_.empty()) {
    notices_.Post(std::move(text));
  }
  if (std::find(in_trouble_.begin(), in_trouble_.end(), file) == in_trouble_.end()) {
    in_trouble_.push_back(file);
  }
}

void RunFolder::Fine(const void* file) {
  std::erase(in_trouble_, file);
}

}  // namespace orvane
