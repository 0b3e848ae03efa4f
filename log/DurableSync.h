#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <memory>
#include <optional>
#include <string>

#include "log/platform/JournalFile.h"

namespace orvane {

// Makes a journal file's written bytes durable on a thread of its own, so that a slow disk never
// holds up the tick that wrote them. Requests that pile up while one runs are served by one sync.
class DurableSync {
 public:
  DurableSync() = default;
  // Serves the last request before it returns.
  ~DurableSync();
  DurableSync(const DurableSync&) = delete;
  DurableSync& operator=(const DurableSync&) = delete;

  // `folder`: the file is new, so its entry in that folder is made durable as well.
  void Request(std::shared_ptr<JournalFile> file, std::optional<std::filesystem::path> folder);
  // The text of the first failure since the last call, if any.
  std::optional<std::string> TakeFailure();

 private:
  // A thread of its own, not QThread::create: that needs std::future, which not every MinGW has.
  class Server final : public QThread {
   public:
    explicit Server(DurableSync& sync) : sync_(sync) {}

   protected:
    void run() override { sync_.Serve(); }

   private:
    DurableSync& sync_;
  };

  void Serve();

  QMutex mutex_;
  QWaitCondition requested_;
  std::shared_ptr<JournalFile> file_;
  std::optional<std::filesystem::path> folder_;
  std::optional<std::string> failure_;
  bool stopping_ = false;
  std::unique_ptr<Server> thread_;
};

}  // namespace orvane
