#pragma once

#include <functional>

namespace orvane {

// A library may end the program by calling exit() (Qt does when the display's connection breaks),
// which no event loop survives. While this lives, such an exit first runs `close` (the valve and
// the device) on the thread that called exit, then ends the process with exit code 0, as the close
// box would have. Only one may exist at a time.
class LibraryExit {
 public:
  explicit LibraryExit(std::function<void()> close);
  // Afterwards an exit is the program's own again.
  ~LibraryExit();
  LibraryExit(const LibraryExit&) = delete;
  LibraryExit& operator=(const LibraryExit&) = delete;

 private:
  std::function<void()> close_;
};

}  // namespace orvane
