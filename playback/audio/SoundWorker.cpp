#include "playback/audio/SoundWorker.h"

namespace orvane {

struct SoundWorker::Queue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<void()>> tasks;
  bool finishing = false;
  bool left_behind = false;
  bool ended = false;
};

SoundWorker::SoundWorker()
    : queue_(std::make_shared<Queue>()), thread_(Serve, queue_), thread_id_(thread_.get_id()) {}

SoundWorker::~SoundWorker() {
  if (thread_.joinable()) {
    Finish(kEndPatience);
  }
}

bool SoundWorker::Post(std::function<void()> task) {
  std::lock_guard lock(queue_->mutex);
  if (queue_->finishing) {
    return false;
  }
  queue_->tasks.push_back(std::move(task));
  queue_->changed.notify_all();
  return true;
}

bool SoundWorker::Finish(std::chrono::milliseconds patience) {
  std::unique_lock lock(queue_->mutex);
  queue_->finishing = true;
  queue_->changed.notify_all();
  if (!queue_->changed.wait_for(lock, patience, [&] { return queue_->ended; })) {
    queue_->left_behind = true;
    lock.unlock();
    thread_.detach();
    return false;
  }
  lock.unlock();
  thread_.join();
  return true;
}

void SoundWorker::Serve(const std::shared_ptr<Queue>& queue) {
  std::unique_lock lock(queue->mutex);
  for (;;) {
    queue->changed.wait(lock, [&] { return !queue->tasks.empty() || queue->finishing; });
    if (queue->left_behind) {
      // Whatever the tasks still queued hold may be gone or in use elsewhere by now: touch
      // nothing more, and let the program's end take the thread.
      queue->changed.wait(lock, [] { return false; });
    }
    if (queue->tasks.empty()) {
      break;
    }
    std::function<void()> task = std::move(queue->tasks.front());
    queue->tasks.pop_front();
    lock.unlock();
    task();
    task = nullptr;  // what it held goes here, on this thread
    lock.lock();
  }
  queue->ended = true;
  queue->changed.notify_all();
}

}  // namespace orvane
