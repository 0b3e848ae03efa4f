#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace orvane {

// What a process that is about to die does last. `close_valve` writes the off pattern and nothing
// else, and says the driver's status, or nothing when there is no valve; it runs on a thread of
// its own, so that a crash inside the allocator or with a lock held cannot stop it. `record` then
// puts the crash's end into the run's files from the crash handler itself, with no allocation
// and no lock: `reason` as the run's end ("crash SIGSEGV"), `message` as what the crash said, and
// the off-write's status when one was made.
struct LastAct {
  std::optional<std::int32_t> (*close_valve)(void* valve) noexcept = nullptr;
  void* valve = nullptr;
  void (*record)(void* run, std::string_view reason, std::string_view message,
                 std::optional<std::int32_t> off_status) noexcept = nullptr;
  void* run = nullptr;
};

// Every crash ends with the last act, and the process then dies as it would have. At once, before
// anything that might hang, the crash wakes the last act's thread and says it crashed (on standard
// error; on Windows in a box once the act is over, the program having no console). It waits for
// the valve at most kValveWait, says what became of it, has it recorded, and dies. A crash on
// another thread meanwhile waits for that end; a crash within the last act itself ends it.
// Linux: SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS and SIGTRAP, every thread having a
// stack of its own for the handler, so that a stack overflow is caught too. Windows: an unhandled
// exception, and abort. Only one may exist at a time; the previous handling returns when it goes.
class CrashLastAct {
 public:
  static constexpr std::chrono::milliseconds kValveWait{2000};

  explicit CrashLastAct(LastAct act);
  ~CrashLastAct();
  CrashLastAct(const CrashLastAct&) = delete;
  CrashLastAct& operator=(const CrashLastAct&) = delete;

 private:
  struct Ready;
  std::unique_ptr<Ready> ready_;
};

}  // namespace orvane
