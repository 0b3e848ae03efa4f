#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace orvane {

// A thread of the sound side that runs slow requests (opening and closing songs, starting the
// device) one after another, so that the window's thread never waits on a sound server for
// longer than it chooses.
class SoundWorker {
 public:
  SoundWorker();
  // Finishes with kEndPatience unless Finish was called.
  ~SoundWorker();
  SoundWorker(const SoundWorker&) = delete;
  SoundWorker& operator=(const SoundWorker&) = delete;

  static constexpr std::chrono::milliseconds kEndPatience{1000};

  // Queues a task; false once the worker has finished, when the task is not run.
  bool Post(std::function<void()> task);
  // Whether the caller runs on the worker's thread.
  bool OnThread() const { return std::this_thread::get_id() == thread_id_; }

  // Runs `task` and waits up to `patience` for its result. Nothing when it did not come in time;
  // the result, when it comes, then goes to `late` on the worker, which cleans it up.
  template <class T>
  std::optional<T> Ask(std::function<T()> task, std::chrono::milliseconds patience,
                       std::function<void(T)> late);

  // Runs what is queued and ends the thread, waiting at most `patience`. False when a task
  // still runs then: the thread is left behind and runs nothing more, and what it holds stays.
  bool Finish(std::chrono::milliseconds patience);

 private:
  struct Queue;  // shared with the thread, which may outlive the worker when left behind
  static void Serve(const std::shared_ptr<Queue>& queue);

  std::shared_ptr<Queue> queue_;
  std::thread thread_;
  std::thread::id thread_id_;
};

template <class T>
std::optional<T> SoundWorker::Ask(std::function<T()> task, std::chrono::milliseconds patience,
                                  std::function<void(T)> late) {
  struct Answer {
    std::mutex mutex;
    std::condition_variable came;
    std::optional<T> value;
    bool given_up = false;
  };
  const auto answer = std::make_shared<Answer>();
  const bool posted = Post([answer, task = std::move(task), late = std::move(late)] {
    T value = task();
    std::unique_lock lock(answer->mutex);
    if (answer->given_up) {
      lock.unlock();
      late(std::move(value));
      return;
    }
    answer->value = std::move(value);
    answer->came.notify_all();
  });
  if (!posted) {
    return std::nullopt;
  }
  std::unique_lock lock(answer->mutex);
  if (!answer->came.wait_for(lock, patience, [&] { return answer->value.has_value(); })) {
    answer->given_up = true;
    return std::nullopt;
  }
  return std::move(answer->value);
}

}  // namespace orvane
