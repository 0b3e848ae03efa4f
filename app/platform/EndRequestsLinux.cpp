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

}  // namespace

struct EndRequests::Watch {
  std::array<int, 2> pipe{-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
  std::unique_ptr<CrashLastAct> crash;
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

  watch_->crash = std::make_unique<CrashLastAct>(last_act);

  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  watch_->Install(SIGPIPE, ignore);
}

EndRequests::~EndRequests() {
  for (auto it = watch_->previous.rbegin(); it != watch_->previous.rend(); ++it) {
    sigaction(it->first, &it->second, nullptr);
  }
  watch_->crash.reset();
  pipe_to_loop = -1;
  watch_->notifier.reset();
  close(watch_->pipe[0]);
  close(watch_->pipe[1]);
}

}  // namespace orvane
