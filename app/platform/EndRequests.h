#pragma once

#include <functional>
#include <memory>
#include <string>

namespace orvane {

// What a process that is about to die does last: close the valve. It runs inside a crash, so it
// takes no lock and calls nothing that might wait for one. False when the valve may stay open;
// none where the process has no valve.
struct LastAct {
  bool (*act)(void* context) noexcept = nullptr;
  void* context = nullptr;
};

// Said on standard error when a crash's last act could not close the valve.
inline constexpr char kValveLeftOpenByCrash[] =
    "The program crashed and the puffer could not be switched off. Check the valve.\n";

// Every way the system ends the program, turned into a closed valve first.
// - Requests to end (on Linux every catchable signal whose default ends the process, such as
//   SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM; on Windows the end of the session at
//   logoff, restart or shutdown, which reaches the window as WM_ENDSESSION after Qt has answered
//   WM_QUERYENDSESSION) become one call of `end` on the window's thread from the event loop, with
//   the reason in a few words ("signal SIGTERM", "session end"), which closes the window as its
//   close box does. Task Manager's "End task" and any other kill end the process with no word to
//   it: only the device's watchdog closes the valve then.
// - Crashes (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS, SIGTRAP; on Windows an unhandled
//   exception and abort) run `last_act`, and the process then dies as it would have.
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
