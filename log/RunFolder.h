#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/NoticeBoard.h"
#include "log/DurableSync.h"
#include "log/LocalClock.h"
#include "log/platform/JournalFile.h"

namespace orvane {

// How the names of a run's files end after their shared stem.
inline constexpr std::string_view kJournalEnding = ".tsv";
inline constexpr std::string_view kTrialTableEnding = " trials.tsv";
inline constexpr std::string_view kEventLogEnding = " events.tsv";
inline constexpr std::array kRunFileEndings = {kJournalEnding, kTrialTableEnding, kEventLogEnding};

// The folder a run's files go into and the stem their names share. The stem is chosen when the
// first of them is made, as the first one under which none of the run's files exists yet, and
// kept for the others, so that a run's files always sort together whichever appears first.
// Trouble with any of them is told once, and again only after all of them have written again.
class RunFolder {
 public:
  RunFolder(std::filesystem::path folder, const LocalDateTime& run_start, NoticeBoard& notices);

  // Makes the folder if need be and creates the run's file with this ending; null, with the
  // reason in the user's words, when it cannot.
  std::unique_ptr<JournalFile> Create(std::string_view ending, std::filesystem::path& path,
                                      std::string& reason);

  const std::filesystem::path& Path() const { return folder_; }
  // The thread that makes the run's files durable.
  DurableSync& Durable() { return durable_; }

  // Posts `text` unless trouble of this run's files was told and some file still has it.
  void Trouble(const void* file, std::string text);
  void Fine(const void* file);

  // Called each time one of the run's files has been made, e.g. to name it in a tooltip.
  void SetMadeListener(std::function<void()> listener) { made_ = std::move(listener); }
  void NoteMade() const {
    if (made_) {
      made_();
    }
  }

 private:
  std::unique_ptr<JournalFile> CreateNamed(const std::filesystem::path& path, std::string& reason,
                                           bool& taken);

  std::filesystem::path folder_;
  LocalDateTime run_start_;
  NoticeBoard& notices_;
  std::optional<std::string> stem_;
  std::vector<const void*> in_trouble_;
  std::function<void()> made_;
  DurableSync durable_;
};

// A path in quotes, as messages show it.
std::string Quoted(const std::filesystem::path& path);

}  // namespace orvane
