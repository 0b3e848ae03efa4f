#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/platform/CrashLastAct.h"

namespace orvane {

// Every way the system ends the program, turned into a closed valve first.
// - Requests to end (on Linux every catchable signal whose default ends the process, such as
//   SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM; on Windows the end of the session at
//   logoff, restart or shutdown, which reaches the window as WM_ENDSESSION after Qt has answered
//   WM_QUERYENDSESSION) become one call of `end` on the window's thread from the event loop, with
//   the reason in a few words ("signal SIGTERM", "session end"), which closes the window as its
//   close box does. Task Manager's "End task" and any other kill end the process with no word to
//   it: only the device's watchdog closes the valve then.
// - Crashes end with `last_act` (CrashLastAct), and the process then dies as it would have.
// - On Linux a write to a closed pipe fails instead of ending the program (SIGPIPE is ignored).
// Only one may exist at a time; the previous handling returns when it goes.
class EndRequests {
 public:
  using End = std::function<void(const std::string& reason)>;
  EndRequests(End end, LastAct last_act);
  ~EndRequests();
  EndRequests(const EndRequests&) = delete;
  EndRequests& operator=(const EndRequests&) = delete;

 private:
  struct Watch;
  std::unique_ptr<Watch> watch_;
};

}  // namespace orvane
