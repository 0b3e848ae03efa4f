#include "log/DurableSync.h"

#include <QMutexLocker>

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

void DurableSync::Request(std::shared_ptr<JournalFile> file,
                          std::optional<std::filesystem::path> folder) {
  {
    const QMutexLocker lock(&mutex_);
    file_ = std::move(file);
    if (folder) {
      folder_ = std::move(folder);
    }
  }
  // Started with the first request: a run without trials needs no thread.
  if (!thread_) {
    thread_ = std::make_unique<Server>(*this);
    thread_->start();
  }
  requested_.wakeAll();
}

std::optional<std::string> DurableSync::TakeFailure() {
  const QMutexLocker lock(&mutex_);
  return std::exchange(failure_, std::nullopt);
}

void DurableSync::Serve() {
  QMutexLocker lock(&mutex_);
  for (;;) {
    while (!file_ && !stopping_) {
      requested_.wait(&mutex_);
    }
    if (!file_) {
      return;
    }
    // The file lives while this holds it, even if the journal has closed it meanwhile.
    const std::shared_ptr<JournalFile> file = std::exchange(file_, nullptr);
    const std::optional<std::filesystem::path> folder = std::exchange(folder_, std::nullopt);
    lock.unlock();
    std::string error;
    const bool synced = file->Sync(error) && (!folder || SyncFolder(*folder, error));
    lock.relock();
    if (!synced && !failure_) {
      failure_ = error;
    }
  }
}

}  // namespace orvane
