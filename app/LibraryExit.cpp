#include "app/LibraryExit.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace orvane {
namespace {

// An exit handler takes no argument: this is how it finds what to close.
std::atomic<std::function<void()>*> guarded_close{nullptr};

extern "C" void OnExit() {
  std::function<void()>* const close = guarded_close.exchange(nullptr);
  if (close == nullptr) {
    return;
  }
  (*close)();
  std::fflush(nullptr);
  // The rest of exit() would destroy what other threads still use; the valve is closed now.
  std::_Exit(0);
}

}  // namespace

LibraryExit::LibraryExit(std::function<void()> close) : close_(std::move(close)) {
  // Registered once per process, after the libraries that may call exit have set up theirs.
  static const bool registered = std::atexit(OnExit) == 0;
  if (registered) {
    guarded_close = &close_;
  }
}

LibraryExit::~LibraryExit() {
  guarded_close = nullptr;
}

}  // namespace orvane
