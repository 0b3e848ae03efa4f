#include "tests/io/simulated_driver/WatchdogCircuit.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <csignal>
#include <new>

namespace {

std::int64_t Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// A few atomic steps; both processes hold it only for them. The circuit takes it over from a
// program that was killed while holding it.
class Busy {
 public:
  explicit Busy(SimulatedWatchdogLines& lines, pid_t program = 0) : lines_(lines) {
    for (int tries = 0;; ++tries) {
      std::int32_t free = 0;
      if (lines_.busy.compare_exchange_weak(free, 1, std::memory_order_acquire)) {
        return;
      }
      if (program != 0 && tries % 1000 == 999 && kill(program, 0) != 0) {
        lines_.busy.store(1);
        return;
      }
    }
  }
  ~Busy() { lines_.busy.store(0, std::memory_order_release); }

 private:
  SimulatedWatchdogLines& lines_;
};

// The circuit's process: forked from a process that may run other threads, so only
// async-signal-safe calls until it ends. It ends once the watchdog is stopped, or once the
// program is gone and the lines are safe.
[[noreturn]] void RunCircuit(SimulatedWatchdogLines& lines, pid_t program) {
  for (;;) {
    const timespec pause{0, 2'000'000};
    nanosleep(&pause, nullptr);
    {
      const Busy busy(lines, program);
      const std::int32_t state = lines.state.load();
      if (state == SimulatedWatchdogLines::kStopped) {
        _exit(0);
      }
      const std::int64_t late = Now() - lines.last_reset_ns.load();
      if (state == SimulatedWatchdogLines::kRunning && late > lines.timeout_ns.load()) {
        for (int line = 0; line < 8; ++line) {
          lines.port0[line] = lines.expiry_levels[line].load();
        }
        lines.expired_after_ns = late;
        lines.state = SimulatedWatchdogLines::kExpired;
      }
    }
    if (kill(program, 0) != 0 && lines.state.load() == SimulatedWatchdogLines::kExpired) {
      _exit(0);
    }
  }
}

void StartCircuitProcess(SimulatedWatchdogLines& lines) {
  const pid_t program = getpid();
  const pid_t child = fork();
  if (child == 0) {
    // Its own session, and none of the program's files or handlers: a terminal's Ctrl+C or a
    // test runner waiting for the program's output must not reach the device.
    setsid();
    for (int signal = 1; signal < NSIG; ++signal) {
      struct sigaction action {};
      action.sa_handler = SIG_DFL;
      sigaction(signal, &action, nullptr);
    }
    if (syscall(SYS_close_range, 0U, ~0U, 0U) != 0) {
      for (int fd = 0; fd < 4096; ++fd) {
        close(fd);
      }
    }
    // Orphaned at once, so that nobody has to wait for it.
    if (fork() == 0) {
      RunCircuit(lines, program);
    }
    _exit(0);
  }
  if (child > 0) {
    waitpid(child, nullptr, 0);
  }
}

}  // namespace

std::unique_ptr<WatchdogCircuit> WatchdogCircuit::Create(const char* path, const Levels& levels,
                                                         double timeout_seconds) {
  const int fd = open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) {
    return nullptr;
  }
  void* mapped = MAP_FAILED;
  if (ftruncate(fd, sizeof(SimulatedWatchdogLines)) == 0) {
    mapped =
        mmap(nullptr, sizeof(SimulatedWatchdogLines), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  close(fd);
  if (mapped == MAP_FAILED) {
    return nullptr;
  }
  auto* lines = new (mapped) SimulatedWatchdogLines{};
  for (int line = 0; line < 8; ++line) {
    lines->port0[line] = levels[static_cast<std::size_t>(line)];
  }
  lines->timeout_ns = static_cast<std::int64_t>(timeout_seconds * 1e9);
  lines->state = SimulatedWatchdogLines::kStopped;
  return std::unique_ptr<WatchdogCircuit>(new WatchdogCircuit(lines));
}

WatchdogCircuit::~WatchdogCircuit() {
  Stop();
  munmap(lines_, sizeof(SimulatedWatchdogLines));
}

void WatchdogCircuit::SetExpiryLevels(const Levels& levels) {
  for (int line = 0; line < 8; ++line) {
    lines_->expiry_levels[line] = levels[static_cast<std::size_t>(line)];
  }
}

void WatchdogCircuit::Start() {
  {
    const Busy busy(*lines_);
    lines_->last_reset_ns = Now();
    lines_->state = SimulatedWatchdogLines::kRunning;
  }
  if (!circuit_started_) {
    circuit_started_ = true;
    StartCircuitProcess(*lines_);
  }
}

void WatchdogCircuit::Stop() {
  const Busy busy(*lines_);
  lines_->state = SimulatedWatchdogLines::kStopped;
}

void WatchdogCircuit::Reset() {
  const Busy busy(*lines_);
  if (lines_->state == SimulatedWatchdogLines::kRunning) {
    lines_->last_reset_ns = Now();
  }
}

bool WatchdogCircuit::ClearExpiration() {
  const Busy busy(*lines_);
  if (lines_->state != SimulatedWatchdogLines::kExpired) {
    return false;
  }
  lines_->last_reset_ns = Now();
  lines_->state = SimulatedWatchdogLines::kRunning;
  return true;
}

bool WatchdogCircuit::Expired() const {
  return lines_->state == SimulatedWatchdogLines::kExpired;
}

bool WatchdogCircuit::Write(const Levels& levels) {
  const Busy busy(*lines_);
  if (lines_->state == SimulatedWatchdogLines::kExpired) {
    return false;
  }
  for (int line = 0; line < 8; ++line) {
    lines_->port0[line] = levels[static_cast<std::size_t>(line)];
  }
  return true;
}

WatchdogCircuit::Levels WatchdogCircuit::Read() const {
  Levels levels{};
  for (int line = 0; line < 8; ++line) {
    levels[static_cast<std::size_t>(line)] = lines_->port0[line];
  }
  return levels;
}
