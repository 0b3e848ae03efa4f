#pragma once

#include <cstddef>

namespace orvane {

// A stack of its own for the signal handlers of the thread that makes it, so that a crash from a
// stack overflow can still be handled there; it goes with the object, on the same thread. Every
// thread the process starts gets one from its first instruction to its end (Linux only).
class ThreadCrashStack {
 public:
  ThreadCrashStack() noexcept;
  ~ThreadCrashStack();
  ThreadCrashStack(const ThreadCrashStack&) = delete;
  ThreadCrashStack& operator=(const ThreadCrashStack&) = delete;

 private:
  void* mapped_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace orvane
