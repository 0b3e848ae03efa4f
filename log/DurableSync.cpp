#include "log/DurableSync.h"

#include <QMutexLocker>

#include <algorithm>
#include <utility>

namespace orvane {

DurableSync::~DurableSync() {
  if (thread_) {
    {
      const QMutexLocker lock(&mutex_);
      stopping_ = true;
    }
    requested_.wakeAll();
    thread_->wait();
  }
}

void DurableSync::Request(const void* writer, std::shared_ptr<JournalFile> file,
                          std::optional<std::filesystem::path> folder) {
  bool asleep = false;
  {
    const QMutexLocker lock(&mutex_);
    // A thread that is serving or about to serve takes this request on its next round unwoken.
    asleep = pending_.empty() && !serving_;
    const auto waiting = std::find_if(pending_.begin(), pending_.end(),
                                      [writer](const Pending& p) { return p.writer == writer; });
    if (waiting == pending_.end()) {
      pending_.push_back({writer, std::move(file), std::move(folder)});
    } else {
      // A file begun anew replaces the old one, whose sync no longer matters.
      waiting->file = std::move(file);
      if (folder) {
        waiting->folder = std::move(folder);
      }
    }
  }
  // Started with the first request: a run without files needs no thread.
  if (!thread_) {
    thread_ = std::make_unique<Server>(*this);
    thread_->start();
  } else if (asleep) {
    requested_.wakeAll();
  }
}

std::optional<std::string> DurableSync::TakeFailure(const void* writer) {
  const QMutexLocker lock(&mutex_);
  const auto failure = std::find_if(failures_.begin(), failures_.end(),
                                    [writer](const auto& f) { return f.first == writer; });
  if (failure == failures_.end()) {
    return std::nullopt;
  }
  std::string text = std::move(failure->second);
  failures_.erase(failure);
  return text;
}

void DurableSync::Serve() {
  QMutexLocker lock(&mutex_);
  for (;;) {
    while (pending_.empty() && !stopping_) {
      requested_.wait(&mutex_);
    }
    if (pending_.empty()) {
      return;
    }
    // The files live while this holds them, even if their writers have closed them meanwhile.
    const std::vector<Pending> serving = std::exchange(pending_, {});
    serving_ = true;
    lock.unlock();
    std::vector<std::pair<const void*, std::string>> failed;
    for (const Pending& request : serving) {
      std::string error;
      if (!request.file->Sync(error) || (request.folder && !SyncFolder(*request.folder, error))) {
        failed.emplace_back(request.writer, std::move(error));
      }
    }
    lock.relock();
    serving_ = false;
    for (auto& failure : failed) {
      const bool told = std::any_of(failures_.begin(), failures_.end(),
                                    [&failure](const auto& f) { return f.first == failure.first; });
      if (!told) {
        failures_.push_back(std::move(failure));
      }
    }
  }
}

}  // namespace orvane
