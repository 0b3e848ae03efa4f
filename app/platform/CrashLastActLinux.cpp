#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "app/CrashWords.h"
#include "app/platform/CrashLastAct.h"
#include "app/platform/ThreadCrashStack.h"

namespace orvane {
namespace {

constexpr std::array<int, 7> kCrashSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL,
                                              SIGABRT, SIGSYS, SIGTRAP};
// Ends a crash handler that hangs all the same, on a standard error that nobody reads, say.
constexpr unsigned kHandlerLimitSeconds = 5;
static_assert(std::chrono::seconds(kHandlerLimitSeconds) > CrashLastAct::kValveWait);
constexpr char kAct = 'a';
constexpr char kQuit = 'q';

const char* CrashName(int signal) noexcept {
  switch (signal) {
    case SIGSEGV:
      return "SIGSEGV";
    case SIGBUS:
      return "SIGBUS";
    case SIGFPE:
      return "SIGFPE";
    case SIGILL:
      return "SIGILL";
    case SIGABRT:
      return "SIGABRT";
    case SIGSYS:
      return "SIGSYS";
    case SIGTRAP:
      return "SIGTRAP";
    default:
      return "signal";
  }
}

// What the crash handler reaches, for a handler can be handed nothing: set before the handlers
// are installed, cleared once they are gone.
struct Shared {
  LastAct act;
  int wake_read = -1;
  int wake_write = -1;
  int done_read = -1;
  int done_write = -1;
  std::atomic<ValveAtCrash> valve{ValveAtCrash::kNoAnswer};
  std::atomic<std::int32_t> status{0};
};
std::atomic<Shared*> shared{nullptr};
// The thread whose crash is ending the process.
std::atomic<pid_t> acting_thread{0};

void WriteAll(int fd, std::string_view bytes) noexcept {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::int64_t MonotonicMilliseconds() noexcept {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
}

// True once `fd` has something to read, within `limit`.
bool Readable(int fd, std::chrono::milliseconds limit) noexcept {
  const std::int64_t until = MonotonicMilliseconds() + limit.count();
  for (;;) {
    const std::int64_t left = until - MonotonicMilliseconds();
    if (left <= 0) {
      return false;
    }
    pollfd ready{fd, POLLIN, 0};
    const int got = poll(&ready, 1, static_cast<int>(left));
    if (got > 0) {
      return (ready.revents & POLLIN) != 0;
    }
    if (got < 0 && errno != EINTR) {
      return false;
    }
  }
}

[[noreturn]] void DieOf(int signal) noexcept {
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  sigset_t this_one;
  sigemptyset(&this_one);
  sigaddset(&this_one, signal);
  pthread_sigmask(SIG_UNBLOCK, &this_one, nullptr);
  raise(signal);
  _exit(128 + signal);
}

// Only async-signal-safe calls from here on, and no allocation: the crash may have struck inside
// the allocator, holding its lock.
extern "C" void OnCrash(int signal) {
  const pid_t me = gettid();
  pid_t idle = 0;
  if (!acting_thread.compare_exchange_strong(idle, me)) {
    if (idle == me) {
      DieOf(signal);  // the last act itself crashed
    }
    for (;;) {
      pause();  // another thread's last act ends the process
    }
  }
  struct sigaction alarm_ends {};
  alarm_ends.sa_handler = SIG_DFL;
  sigemptyset(&alarm_ends.sa_mask);
  sigaction(SIGALRM, &alarm_ends, nullptr);
  alarm(kHandlerLimitSeconds);
  Shared* const last = shared.load();
  if (last == nullptr) {
    DieOf(signal);
  }
  // The valve first: a standard error that blocks must not hold it open.
  const bool woken = write(last->wake_write, &kAct, 1) == 1;
  CrashText said;
  SayCrash(said, CrashName(signal));
  WriteAll(STDERR_FILENO, said.View());
  WriteAll(STDERR_FILENO, "\n");

  ValveAtCrash valve = ValveAtCrash::kNoAnswer;
  if (woken && Readable(last->done_read, CrashLastAct::kValveWait)) {
    valve = last->valve.load();
  }
  const std::int32_t status = last->status.load();
  CrashText told;
  SayValve(told, valve, status, CrashLastAct::kValveWait);
  if (!told.Empty()) {
    WriteAll(STDERR_FILENO, told.View());
    WriteAll(STDERR_FILENO, "\n");
  }
  if (last->act.record != nullptr) {
    CrashText message;
    message << said.View() << (told.Empty() ? "" : " ") << told.View();
    CrashText reason;
    reason << "crash " << CrashName(signal);
    const bool wrote = valve == ValveAtCrash::kClosed || valve == ValveAtCrash::kRefused;
    last->act.record(last->act.run, reason.View(), message.View(),
                     wrote ? std::optional(status) : std::nullopt);
  }
  DieOf(signal);
}

// The last act's thread: waits, with every signal but a crash's blocked, for the one crash it
// serves. A crash of its own within the off-write then waits in the handler, so that the crash it
// serves is told and recorded as one whose valve did not answer, rather than killing at once.
void Serve(Shared& last) {
  sigset_t others;
  sigfillset(&others);
  for (const int signal : kCrashSignals) {
    sigdelset(&others, signal);
  }
  pthread_sigmask(SIG_BLOCK, &others, nullptr);
  // Its allocator's arena is its own from its first allocation on: taken now, not in the crash.
  void* volatile warm = std::malloc(256);
  std::free(warm);
  for (;;) {
    char request = 0;
    const ssize_t got = read(last.wake_read, &request, 1);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got != 1 || request == kQuit) {
      return;
    }
    const std::optional<std::int32_t> written =
        last.act.close_valve != nullptr ? last.act.close_valve(last.act.valve) : std::nullopt;
    last.status = written.value_or(0);
    last.valve = ValveAfterWrite(written);
    WriteAll(last.done_write, std::string_view(&kAct, 1));
  }
}

void Pipe(int& read_end, int& write_end, int write_flags) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot make ready for a crash");
  }
  read_end = ends[0];
  write_end = ends[1];
  fcntl(write_end, F_SETFL, fcntl(write_end, F_GETFL) | write_flags);
}

}  // namespace

struct CrashLastAct::Ready {
  Shared last;
  std::thread serving;
  // The window's thread's, which is the one that makes this; every other thread gets its own.
  ThreadCrashStack crash_stack;
  std::vector<std::pair<int, struct sigaction>> previous;

  ~Ready() {
    if (serving.joinable()) {
      WriteAll(last.wake_write, std::string_view(&kQuit, 1));
      serving.join();
    }
    for (const int fd : {last.wake_read, last.wake_write, last.done_read, last.done_write}) {
      if (fd >= 0) {
        close(fd);
      }
    }
  }
};

CrashLastAct::CrashLastAct(LastAct act) : ready_(std::make_unique<Ready>()) {
  Shared& last = ready_->last;
  last.act = act;
  // The handler never waits to wake the thread.
  Pipe(last.wake_read, last.wake_write, O_NONBLOCK);
  Pipe(last.done_read, last.done_write, 0);
  ready_->serving = std::thread(Serve, std::ref(last));
  shared = &last;

  struct sigaction crash {};
  crash.sa_handler = OnCrash;
  sigemptyset(&crash.sa_mask);
  // No reset to the default: a second crash waits for the first's last act.
  crash.sa_flags = SA_ONSTACK | SA_NODEFER;
  for (const int signal : kCrashSignals) {
    struct sigaction before {};
    if (sigaction(signal, &crash, &before) == 0) {
      ready_->previous.emplace_back(signal, before);
    }
  }
}

CrashLastAct::~CrashLastAct() {
  for (auto it = ready_->previous.rbegin(); it != ready_->previous.rend(); ++it) {
    sigaction(it->first, &it->second, nullptr);
  }
  shared = nullptr;
}

}  // namespace orvane
