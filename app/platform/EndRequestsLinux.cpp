#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/platform/EndRequests.h"

namespace orvane {
namespace {

// Requests to end that always close the window.
constexpr std::array<int, 3> kEndSignals = {SIGTERM, SIGINT, SIGHUP};
// Crashes: the valve is closed as a last act and the process dies as it would have.
constexpr std::array<int, 7> kCrashSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL,
                                              SIGABRT, SIGSYS, SIGTRAP};
// A crash from a stack overflow needs a stack of its own; the driver's write runs on it.
constexpr std::size_t kCrashStackBytes = 256 * 1024;

// Every other signal whose default action ends the process. They close the window too, but only
// where no library has claimed them first.
std::vector<int> OtherEndingSignals() {
  std::vector<int> ending = {SIGQUIT,   SIGUSR1, SIGUSR2, SIGALRM,
                             SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ};
#ifdef SIGIO
  ending.push_back(SIGIO);
#endif
#ifdef SIGPWR
  ending.push_back(SIGPWR);
#endif
#ifdef SIGSTKFLT
  ending.push_back(SIGSTKFLT);
#endif
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
    ending.push_back(signal);
  }
  return ending;
}

// The one thing the end handler touches: the writing end of the pipe the event loop watches.
std::atomic<int> pipe_to_loop{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free fd");
// A signal handler can be handed nothing: this is how the crash handler reaches the valve.
std::atomic<const LastAct*> last_act_of_crash{nullptr};

extern "C" void OnEndSignal(int signal) {
  // Only async-signal-safe calls here; errno belongs to whatever the signal interrupted.
  const int saved = errno;
  const char byte = static_cast<char>(signal);  // every signal's number fits a byte
  [[maybe_unused]] const ssize_t written = write(pipe_to_loop.load(), &byte, 1);
  errno = saved;
}

// "signal SIGTERM", in the run's record.
std::string Reason(int signal) {
  const char* name = sigabbrev_np(signal);
  return name != nullptr ? std::string("signal SIG") + name : "signal " + std::to_string(signal);
}

extern "C" void OnCrash(int signal) {
  // A driver call that hangs must not keep a crashed process alive.
  struct sigaction alarm_ends {};
  alarm_ends.sa_handler = SIG_DFL;
  sigaction(SIGALRM, &alarm_ends, nullptr);
  alarm(3);
  if (const LastAct* last = last_act_of_crash.exchange(nullptr);
      last != nullptr && last->act != nullptr && !last->act(last->context)) {
    [[maybe_unused]] const ssize_t written =
        write(STDERR_FILENO, kValveLeftOpenByCrash, sizeof kValveLeftOpenByCrash - 1);
  }
  // The handler was reset to the default on entry, so this ends the process as the crash would.
  raise(signal);
}

}  // namespace

struct EndRequests::Watch {
  std::array<int, 2> pipe{-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
  LastAct last_act;
  std::vector<char> crash_stack = std::vector<char>(kCrashStackBytes);
  stack_t previous_stack{};
  std::vector<std::pair<int, struct sigaction>> previous;

  void Install(int signal, const struct sigaction& action) {
    struct sigaction before {};
    if (sigaction(signal, &action, &before) == 0) {
      previous.emplace_back(signal, before);
    }
  }
};

EndRequests::EndRequests(End end, LastAct last_act) : watch_(std::make_unique<Watch>()) {
  // Non-blocking at both ends: the handler never waits, and the loop reads what is there.
  if (pipe2(watch_->pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot watch for the end signals");
  }
  pipe_to_loop = watch_->pipe[1];
  watch_->notifier = std::make_unique<QSocketNotifier>(watch_->pipe[0], QSocketNotifier::Read);
  QObject::connect(watch_->notifier.get(), &QSocketNotifier::activated,
                   [read_end = watch_->pipe[0], end = std::move(end)] {
                     char bytes[16];
                     int first = 0;
                     for (ssize_t got = 0; (got = read(read_end, bytes, sizeof bytes)) > 0;) {
                       first = first != 0 ? first : bytes[0];
                     }
                     end(Reason(first));
                   });

  std::vector<int> ending(kEndSignals.begin(), kEndSignals.end());
  for (const int signal : OtherEndingSignals()) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
        (current.sa_flags & SA_SIGINFO) == 0) {
      ending.push_back(signal);
    }
  }
  struct sigaction end_action {};
  end_action.sa_handler = OnEndSignal;
  sigemptyset(&end_action.sa_mask);
  for (const int signal : ending) {
    sigaddset(&end_action.sa_mask, signal);
  }
  end_action.sa_flags = SA_RESTART;
  for (const int signal : ending) {
    watch_->Install(signal, end_action);
  }

  watch_->last_act = last_act;
  last_act_of_crash = &watch_->last_act;
  stack_t crash_stack{};
  crash_stack.ss_sp = watch_->crash_stack.data();
  crash_stack.ss_size = watch_->crash_stack.size();
  sigaltstack(&crash_stack, &watch_->previous_stack);
  struct sigaction crash_action {};
  crash_action.sa_handler = OnCrash;
  sigemptyset(&crash_action.sa_mask);
  crash_action.sa_flags = SA_RESETHAND | SA_NODEFER | SA_ONSTACK;
  for (const int signal : kCrashSignals) {
    watch_->Install(signal, crash_action);
  }

  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  watch_->Install(SIGPIPE, ignore);
}

EndRequests::~EndRequests() {
  for (auto it = watch_->previous.rbegin(); it != watch_->previous.rend(); ++it) {
    sigaction(it->first, &it->second, nullptr);
  }
  last_act_of_crash = nullptr;
  sigaltstack(&watch_->previous_stack, nullptr);
  pipe_to_loop = -1;
  watch_->notifier.reset();
  close(watch_->pipe[0]);
  close(watch_->pipe[1]);
}

}  // namespace orvane
