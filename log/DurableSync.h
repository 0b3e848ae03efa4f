#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "log/platform/JournalFile.h"

namespace orvane {

// Makes the written bytes of a run's files durable on a thread of its own, so that a slow disk
// never holds up the tick that wrote them. Requests that pile up while one runs are served by
// one sync of each file. Each file's writer is told of its own failures.
class DurableSync {
 public:
  DurableSync() = default;
  // Serves the last requests before it returns.
  ~DurableSync();
  DurableSync(const DurableSync&) = delete;
  DurableSync& operator=(const DurableSync&) = delete;

  // `writer` names who asks, for TakeFailure. `folder`: the file is new, so its entry in that
  // folder is made durable as well.
  void Request(const void* writer, std::shared_ptr<JournalFile> file,
               std::optional<std::filesystem::path> folder);
  // The text of the first failure of the writer's file since the last call, if any.
  std::optional<std::string> TakeFailure(const void* writer);

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

  struct Pending {
    const void* writer = nullptr;
    std::shared_ptr<JournalFile> file;
    std::optional<std::filesystem::path> folder;
  };

  void Serve();

  QMutex mutex_;
  QWaitCondition requested_;
  std::vector<Pending> pending_;
  std::vector<std::pair<const void*, std::string>> failures_;
  bool serving_ = false;
  bool stopping_ = false;
  std::unique_ptr<Server> thread_;
};

}  // namespace orvane
