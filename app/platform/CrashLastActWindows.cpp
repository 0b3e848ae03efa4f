#include <windows.h>

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/CrashWords.h"
#include "app/platform/CrashLastAct.h"

namespace orvane {
namespace {

// Room on the stack for the last act after a stack overflow, not for a box.
constexpr ULONG kStackGuarantee = 64 * 1024;

// What the crash's filter reaches, for it can be handed nothing: set before the filter is
// installed, cleared once it is gone.
struct Shared {
  LastAct act;
  HANDLE wake = nullptr;
  HANDLE done = nullptr;
  std::atomic<bool> quit{false};
  // Set once the valve is done and the words are ready: the next wake shows them in a box.
  std::atomic<bool> box_due{false};
  std::atomic<ValveAtCrash> valve{ValveAtCrash::kNoAnswer};
  std::atomic<std::int32_t> status{0};
};
std::atomic<Shared*> shared{nullptr};
// The thread whose crash is ending the process.
std::atomic<DWORD> acting_thread{0};

// Only the acting thread uses these, and not on its stack, which may have overflowed.
CrashText said;
CrashText told;
CrashText message;
CrashText reason;
wchar_t box_text[1024];

void ShowBox(std::string_view utf8) noexcept {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                         box_text, static_cast<int>(std::size(box_text)) - 1);
  box_text[length > 0 ? length : 0] = L'\0';
  // Comes up only where the process can still show a window; it waits for OK.
  MessageBoxW(nullptr, box_text, L"Orvane", MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}

// The last act, then the crash's words in the run's files and in a box.
void ActLast(std::string_view what, bool room_for_a_box) noexcept {
  const DWORD me = GetCurrentThreadId();
  DWORD idle = 0;
  if (!acting_thread.compare_exchange_strong(idle, me)) {
    if (idle == me) {
      return;  // the last act itself crashed
    }
    Sleep(INFINITE);  // another thread's last act ends the process
  }
  Shared* const last = shared.load();
  if (last == nullptr) {
    return;
  }
  const bool woken = SetEvent(last->wake) != 0;
  SayCrash(said, what);
  const bool answered =
      woken &&
      WaitForSingleObject(last->done, static_cast<DWORD>(CrashLastAct::kValveWait.count())) ==
          WAIT_OBJECT_0;
  const ValveAtCrash valve = answered ? last->valve.load() : ValveAtCrash::kNoAnswer;
  const std::int32_t status = last->status.load();
  SayValve(told, valve, status, CrashLastAct::kValveWait);
  message << said.View() << (told.Empty() ? "" : " ") << told.View();
  if (last->act.record != nullptr) {
    reason << "crash " << what;
    const bool wrote = valve == ValveAtCrash::kClosed || valve == ValveAtCrash::kRefused;
    last->act.record(last->act.run, reason.View(), message.View(),
                     wrote ? std::optional(status) : std::nullopt);
  }
  // A windowed program has no standard error to say it on. The box comes from the last act's
  // thread: one on the crashed thread would run its message loop, and with it the window's
  // timers, while it waits for OK. That thread still in a driver's write cannot show it.
  if (answered) {
    last->box_due = true;
    SetEvent(last->wake);
    WaitForSingleObject(last->done, INFINITE);
  } else if (room_for_a_box) {
    ShowBox(message.View());
  }
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
  const DWORD code = exception != nullptr && exception->ExceptionRecord != nullptr
                         ? exception->ExceptionRecord->ExceptionCode
                         : 0;
  // "exception 0xC0000005", as the system's own tools name it.
  // On this thread's own stack: two threads crashing at once must not write one text.
  char what[32] = "exception 0x";
  char* const digits = what + std::char_traits<char>::length(what);
  const auto [end, error] = std::to_chars(digits, what + sizeof what, code, 16);
  for (char* digit = digits; digit != end; ++digit) {
    if (*digit >= 'a' && *digit <= 'f') {
      *digit = static_cast<char>(*digit - 'a' + 'A');
    }
  }
  ActLast(std::string_view(what, static_cast<std::size_t>(end - what)),
          code != EXCEPTION_STACK_OVERFLOW);
  return EXCEPTION_CONTINUE_SEARCH;  // the process dies as it would have
}

extern "C" void OnAbort(int signal) {
  ActLast("SIGABRT", true);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// The last act's thread: waits for the one crash it serves.
DWORD WINAPI Serve(void* context) {
  Shared& last = *static_cast<Shared*>(context);
  // Its heap's first allocation is made now, not in the crash.
  void* volatile warm = std::malloc(256);
  std::free(warm);
  for (;;) {
    if (WaitForSingleObject(last.wake, INFINITE) != WAIT_OBJECT_0 || last.quit.load()) {
      return 0;
    }
    if (last.box_due.load()) {
      ShowBox(message.View());
      SetEvent(last.done);
      continue;
    }
    const std::optional<std::int32_t> written =
        last.act.close_valve != nullptr ? last.act.close_valve(last.act.valve) : std::nullopt;
    last.status = written.value_or(0);
    last.valve = ValveAfterWrite(written);
    SetEvent(last.done);
  }
}

}  // namespace

struct CrashLastAct::Ready {
  Shared last;
  HANDLE serving = nullptr;
  LPTOP_LEVEL_EXCEPTION_FILTER previous_filter = nullptr;
  void (*previous_abort)(int) = SIG_DFL;

  ~Ready() {
    if (serving != nullptr) {
      last.quit = true;
      SetEvent(last.wake);
      WaitForSingleObject(serving, INFINITE);
      CloseHandle(serving);
    }
    for (const HANDLE event : {last.wake, last.done}) {
      if (event != nullptr) {
        CloseHandle(event);
      }
    }
  }
};

CrashLastAct::CrashLastAct(LastAct act) : ready_(std::make_unique<Ready>()) {
  Shared& last = ready_->last;
  last.act = act;
  last.wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  last.done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (last.wake == nullptr || last.done == nullptr) {
    throw std::runtime_error("cannot make ready for a crash");
  }
  ready_->serving = CreateThread(nullptr, 0, Serve, &last, 0, nullptr);
  if (ready_->serving == nullptr) {
    throw std::runtime_error("cannot make ready for a crash");
  }
  // The window's thread keeps room to act in after a stack overflow.
  ULONG guarantee = kStackGuarantee;
  SetThreadStackGuarantee(&guarantee);
  shared = &last;
  ready_->previous_filter = SetUnhandledExceptionFilter(OnUnhandledException);
  ready_->previous_abort = std::signal(SIGABRT, OnAbort);
}

CrashLastAct::~CrashLastAct() {
  std::signal(SIGABRT, ready_->previous_abort);
  SetUnhandledExceptionFilter(ready_->previous_filter);
  shared = nullptr;
}

}  // namespace orvane
