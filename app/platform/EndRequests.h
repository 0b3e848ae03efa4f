#pragma once

#include <functional>
#include <memory>
#include <string>

namespace orvane {

// The system's requests to end the program (on Linux SIGTERM, SIGINT and SIGHUP: a logout, a
// shutdown, Ctrl+C in the terminal; on Windows the end of the session), turned into one call of
// `end` on the window's thread from the event loop, with the reason in a few words ("signal
// SIGTERM", "session end"). Only one may exist at a time; the previous handling returns when it
// goes.
class EndRequests {
 public:
  using End = std::function<void(const std::string& reason)>;
  explicit EndRequests(End end);
  ~EndRequests();
  EndRequests(const EndRequests&) = delete;
  EndRequests& operator=(const EndRequests&) = delete;

 private:
  struct Watch;
  std::unique_ptr<Watch> watch_;
};

}  // namespace orvane
