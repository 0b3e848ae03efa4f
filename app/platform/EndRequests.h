#pragma once

#include <functional>
#include <memory>

namespace orvane {

// The system's requests to end the program (on Linux SIGTERM, SIGINT and SIGHUP: a logout, a
// shutdown, Ctrl+C in the terminal; on Windows the end of the session), turned into one call of
// `end` on the window's thread from the event loop. Only one may exist at a time; the previous
// handling returns when it goes.
class EndRequests {
 public:
  explicit EndRequests(std::function<void()> end);
  ~EndRequests();
  EndRequests(const EndRequests&) = delete;
  EndRequests& operator=(const EndRequests&) = delete;

 private:
  struct Watch;
  std::unique_ptr<Watch> watch_;
};

}  // namespace orvane
