#include "log/DurableSync.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

namespace orvane {

struct DurableSync::State {
  struct Pending {
    const void* writer = nullptr;
    std::shared_ptr<JournalFile> file;
    std::optional<std::filesystem::path> folder;
  };

  explicit State(Sync sync_files) : sync(std::move(sync_files)) {}

  const Sync sync;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Pending> pending;
  std::vector<std::pair<const void*, std::string>> failures;
  bool stopping = false;
  bool ended = false;
};

namespace {

bool SystemSync(JournalFile& file, const std::optional<std::filesystem::path>& folder,
                std::string& error) {
  return file.Sync(error) && (!folder || SyncFolder(*folder, error));
}

void TellOnStandardError(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace

DurableSync::DurableSync(Tell tell, Sync sync, std::chrono::milliseconds end_patience)
    : state_(std::make_shared<State>(sync ? std::move(sync) : Sync(SystemSync))),
      tell_(tell ? std::move(tell) : Tell(TellOnStandardError)),
      end_patience_(end_patience) {}

DurableSync::~DurableSync() {
  if (!thread_.joinable()) {
    return;
  }
  std::unique_lock lock(state_->mutex);
  state_->stopping = true;
  state_->changed.notify_all();
  if (state_->changed.wait_for(lock, end_patience_, [this] { return state_->ended; })) {
    lock.unlock();
    thread_.join();
    return;
  }
  lock.unlock();
  thread_.detach();
  const auto seconds = std::chrono::duration<double>(end_patience_).count();
  char patience[32];
  std::snprintf(patience, sizeof patience, "%g", seconds);
  tell_(std::string("The run's files were not made durable within ") + patience +
        " s of the program's end: the disk did not answer. Their lines are with the system, "
        "which writes them when the disk answers; until then a power cut may lose the last of "
        "them.");
}

void DurableSync::Request(const void* writer, std::shared_ptr<JournalFile> file,
                          std::optional<std::filesystem::path> folder) {
  {
    const std::lock_guard lock(state_->mutex);
    auto& pending = state_->pending;
    const auto waiting =
        std::find_if(pending.begin(), pending.end(),
                     [writer](const State::Pending& p) { return p.writer == writer; });
    if (waiting == pending.end()) {
      pending.push_back({writer, std::move(file), std::move(folder)});
    } else {
      // A file begun anew replaces the old one, whose sync no longer matters.
      waiting->file = std::move(file);
      if (folder) {
        waiting->folder = std::move(folder);
      }
    }
    // A thread that is serving takes this request on its next round.
    state_->changed.notify_all();
  }
  // Started with the first request: a run without files needs no thread.
  if (!thread_.joinable()) {
    thread_ = std::thread(&DurableSync::Serve, state_);
  }
}

std::optional<std::string> DurableSync::TakeFailure(const void* writer) {
  const std::lock_guard lock(state_->mutex);
  auto& failures = state_->failures;
  const auto failure = std::find_if(failures.begin(), failures.end(),
                                    [writer](const auto& f) { return f.first == writer; });
  if (failure == failures.end()) {
    return std::nullopt;
  }
  std::string text = std::move(failure->second);
  failures.erase(failure);
  return text;
}

void DurableSync::Serve(const std::shared_ptr<State>& state) {
  std::unique_lock lock(state->mutex);
  for (;;) {
    state->changed.wait(lock, [&] { return !state->pending.empty() || state->stopping; });
    if (state->pending.empty()) {
      state->ended = true;
      state->changed.notify_all();
      return;
    }
    // The files live while this holds them, even if their writers have closed them meanwhile.
    const std::vector<State::Pending> serving = std::exchange(state->pending, {});
    lock.unlock();
    std::vector<std::pair<const void*, std::string>> failed;
    for (const State::Pending& request : serving) {
      std::string error;
      if (!state->sync(*request.file, request.folder, error)) {
        failed.emplace_back(request.writer, std::move(error));
      }
    }
    lock.lock();
    for (auto& failure : failed) {
      const bool told = std::any_of(state->failures.begin(), state->failures.end(),
                                    [&failure](const auto& f) { return f.first == failure.first; });
      if (!told) {
        state->failures.push_back(std::move(failure));
      }
    }
  }
}

}  // namespace orvane
