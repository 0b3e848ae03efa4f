#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "log/platform/JournalFile.h"

namespace orvane {

// Makes the written bytes of a run's files durable on a thread of its own, so that a slow disk
// never holds up the tick that wrote them. Requests that pile up while one runs are served by
// one sync of each file. Each file's writer is told of its own failures.
class DurableSync {
 public:
  // Makes one file durable, and its entry in `folder` when given; false with the reason in
  // `error`. The system's own calls unless a test says otherwise.
  using Sync = std::function<bool(
      JournalFile& file, const std::optional<std::filesystem::path>& folder, std::string& error)>;
  // Hears what the end has to say: that it gave up waiting.
  using Tell = std::function<void(const std::string& text)>;

  // How long the end waits for the syncs still running: a disk that has not answered by then has
  // hung, and the program must still end.
  static constexpr std::chrono::milliseconds kEndPatience{2000};

  // Tells on standard error by default: by the end the window that would show it is gone.
  explicit DurableSync(Tell tell = {}, Sync sync = {},
                       std::chrono::milliseconds end_patience = kEndPatience);
  // Serves the last requests before it returns, waiting at most the end's patience; a sync still
  // running then is left behind, with the files it holds, and the end says so.
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
  struct State;  // shared with the thread, which may outlive this when left behind
  static void Serve(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
  Tell tell_;
  std::chrono::milliseconds end_patience_;
  std::thread thread_;
};

}  // namespace orvane
