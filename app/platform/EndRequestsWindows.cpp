#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

#include <atomic>
#include <cstdio>
#include <optional>
#include <utility>

#include "app/platform/EndRequests.h"

namespace orvane {
namespace {

// Console events reach only a program started with a console of its own; the windowed program
// has none and hears of logoff and shutdown through WM_ENDSESSION alone. How long a console's
// close, logoff or shutdown waits for the window to close the valve before closing it here: the
// system ends the process soon after the handler returns.
constexpr DWORD kConsoleEndWaitMilliseconds = 4000;

// Said on the console when the window did not close in time and the valve could not be closed.
constexpr char kValveLeftOpen[] =
    "The program is ending and the puffer could not be switched off. Check the valve.\n";

// The console's events as the run's record names them.
const char* ConsoleEventName(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      return "console Ctrl+C";
    case CTRL_BREAK_EVENT:
      return "console Ctrl+Break";
    case CTRL_CLOSE_EVENT:
      return "console closed";
    case CTRL_LOGOFF_EVENT:
      return "session end";
    default:
      return "shutdown";
  }
}

}  // namespace

// The session's end reaches every top-level window as WM_ENDSESSION; the process may be ended as
// soon as the message has been answered, so `end` runs before Qt's own handling of it.
struct EndRequests::Watch final : QAbstractNativeEventFilter {
  Watch(End on_end, LastAct act)
      : end(std::move(on_end)),
        last_act(act),
        ended_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Watch() override {
    if (ended_event != nullptr) {
      CloseHandle(ended_event);
    }
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type == "windows_generic_MSG") {
      const MSG* msg = static_cast<const MSG*>(message);
      if (msg->message == WM_ENDSESSION && msg->wParam != FALSE) {
        EndOnce("session end");
      }
    }
    return false;
  }

  // On the window's thread.
  void EndOnce(const char* reason) {
    if (!ended) {
      ended = true;
      end(reason);
    }
    if (ended_event != nullptr) {
      SetEvent(ended_event);
    }
  }

  // Runs on a thread of the system's; the window is closed from its own thread.
  static BOOL WINAPI OnConsoleEvent(DWORD event) {
    Watch* watch = current.load();
    QCoreApplication* app = QCoreApplication::instance();
    if (watch == nullptr || app == nullptr) {
      return FALSE;
    }
    QMetaObject::invokeMethod(
        app, [watch, event] { watch->EndOnce(ConsoleEventName(event)); }, Qt::QueuedConnection);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
      return TRUE;
    }
    if (watch->ended_event == nullptr ||
        WaitForSingleObject(watch->ended_event, kConsoleEndWaitMilliseconds) != WAIT_OBJECT_0) {
      const LastAct& last = watch->last_act;
      if (const auto status =
              last.close_valve != nullptr ? last.close_valve(last.valve) : std::nullopt;
          status && *status < 0) {
        std::fputs(kValveLeftOpen, stderr);
      }
    }
    return TRUE;
  }

  // The console handler can be handed nothing: this is how it reaches the window.
  static inline std::atomic<Watch*> current{nullptr};

  End end;
  LastAct last_act;
  HANDLE ended_event;
  bool ended = false;
  CrashLastAct crash{last_act};
};

EndRequests::EndRequests(End end, LastAct last_act)
    : watch_(std::make_unique<Watch>(std::move(end), last_act)) {
  QCoreApplication::instance()->installNativeEventFilter(watch_.get());
  Watch::current = watch_.get();
  SetConsoleCtrlHandler(Watch::OnConsoleEvent, TRUE);
}

EndRequests::~EndRequests() {
  SetConsoleCtrlHandler(Watch::OnConsoleEvent, FALSE);
  Watch::current = nullptr;
  if (QCoreApplication* app = QCoreApplication::instance()) {
    app->removeNativeEventFilter(watch_.get());
  }
}

}  // namespace orvane
