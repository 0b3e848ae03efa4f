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

#include "app/platform/EndRequests.h"

namespace orvane {
namespace {

constexpr std::array<int, 3> kEndSignals = {SIGTERM, SIGINT, SIGHUP};

// The one thing the handler touches: the writing end of the pipe the event loop watches.
std::atomic<int> pipe_to_loop{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free fd");

extern "C" void OnEndSignal(int signal) {
  // Only async-signal-safe calls here; errno belongs to whatever the signal interrupted.
  const int saved = errno;
  const char byte = static_cast<char>(signal);  // every end signal's number fits a byte
  [[maybe_unused]] const ssize_t written = write(pipe_to_loop.load(), &byte, 1);
  errno = saved;
}

std::string Reason(int signal) {
  switch (signal) {
    case SIGTERM:
      return "signal SIGTERM";
    case SIGINT:
      return "signal SIGINT";
    case SIGHUP:
      return "signal SIGHUP";
  }
  return "signal " + std::to_string(signal);
}

}  // namespace

struct EndRequests::Watch {
  std::array<int, 2> pipe{-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
  std::array<struct sigaction, kEndSignals.size()> previous{};
};

EndRequests::EndRequests(End end) : watch_(std::make_unique<Watch>()) {
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

  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : kEndSignals) {
    sigaddset(&action.sa_mask, signal);
  }
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kEndSignals.size(); ++i) {
    sigaction(kEndSignals[i], &action, &watch_->previous[i]);
  }
}

EndRequests::~EndRequests() {
  for (std::size_t i = 0; i < kEndSignals.size(); ++i) {
    sigaction(kEndSignals[i], &watch_->previous[i], nullptr);
  }
  pipe_to_loop = -1;
  watch_->notifier.reset();
  close(watch_->pipe[0]);
  close(watch_->pipe[1]);
}

}  // namespace orvane
