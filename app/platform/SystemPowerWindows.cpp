#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

#include <chrono>
#include <optional>
#include <utility>

#include "app/platform/SystemPower.h"

namespace orvane {
namespace {

// The shutdown screen lists this beside the program while a run goes, should the program hold
// shutdown up; it never refuses it: the end of the session closes the window and with it the valve.
constexpr wchar_t kShutdownReason[] = L"An experiment is running.";

// Windows 11 may let the timers of a minimised or covered window's process run coarser than
// asked; during a run they keep the resolution the ticks need. `keep` false gives the choice back
// to the system.
void KeepTimerResolution(bool keep) {
  PROCESS_POWER_THROTTLING_STATE state{};
  state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
  state.ControlMask = keep ? PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION : 0;
  state.StateMask = 0;
  // Systems before Windows 11 do not know the flag and never coarsen the timers this way.
  SetProcessInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
}

// Sleep and wake reach every top-level window as WM_POWERBROADCAST; the window's thread handles
// PBT_APMSUSPEND within the couple of seconds the system waits for it.
class WindowsPower final : public MachinePower, public QAbstractNativeEventFilter {
 public:
  WindowsPower() { QCoreApplication::instance()->installNativeEventFilter(this); }
  ~WindowsPower() override {
    AllowSleep();
    if (QCoreApplication* app = QCoreApplication::instance()) {
      app->removeNativeEventFilter(this);
    }
  }

  void Listen(Listener listener) override { listener_ = std::move(listener); }

  void StayAwake(std::uintptr_t window) override {
    // The system stays awake; the display may still turn off.
    if (SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) == 0 && listener_.refused) {
      listener_.refused("Windows did not accept the request to keep it awake");
    }
    KeepTimerResolution(true);
    window_ = reinterpret_cast<HWND>(window);
    // Only a label on the shutdown screen: a failure is not worth a word.
    if (window_ != nullptr) {
      ShutdownBlockReasonCreate(window_, kShutdownReason);
    }
  }

  void AllowSleep() override {
    SetThreadExecutionState(ES_CONTINUOUS);
    KeepTimerResolution(false);
    if (window_ != nullptr) {
      ShutdownBlockReasonDestroy(window_);
      window_ = nullptr;
    }
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "windows_generic_MSG") {
      return false;
    }
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_POWERBROADCAST) {
      return false;
    }
    // Every top-level window of the program gets each of them; the first one tells.
    if (msg->wParam == PBT_APMSUSPEND && !sleep_began_) {
      sleep_began_ = GetTickCount64();
      if (listener_.sleeps) {
        listener_.sleeps();
      }
    } else if ((msg->wParam == PBT_APMRESUMEAUTOMATIC || msg->wParam == PBT_APMRESUMESUSPEND) &&
               sleep_began_) {
      // Both come after a wake the user saw. The tick count goes on while the machine sleeps.
      const auto slept = std::chrono::milliseconds(GetTickCount64() - *sleep_began_);
      sleep_began_.reset();
      if (listener_.woke) {
        listener_.woke(slept);
      }
    }
    return false;
  }

 private:
  Listener listener_;
  HWND window_ = nullptr;
  std::optional<ULONGLONG> sleep_began_;
};

}  // namespace

std::unique_ptr<MachinePower> MakeSystemPower() {
  return std::make_unique<WindowsPower>();
}

}  // namespace orvane
