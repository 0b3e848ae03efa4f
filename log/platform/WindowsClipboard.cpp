#include "log/platform/WindowsClipboard.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace orvane {

namespace {

std::wstring WideFromUtf8(std::string_view utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

// The clipboard needs an owner window, or it refuses the data after being emptied.
HWND OwnerWindow() {
  static const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                             nullptr, GetModuleHandleW(nullptr), nullptr);
  return window;
}

class OpenedClipboard {
 public:
  OpenedClipboard() {
    // Another program may hold it for a moment while it reads.
    for (int attempt = 0; attempt < 20 && !open_; ++attempt) {
      open_ = OpenClipboard(OwnerWindow()) != 0;
      if (!open_) {
        Sleep(10);
      }
    }
  }
  ~OpenedClipboard() {
    if (open_) {
      CloseClipboard();
    }
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

void WindowsClipboard::SetText(std::string_view utf8) {
  const std::wstring text = WideFromUtf8(utf8);
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) {
    throw ClipboardError("there is not enough memory for the text");
  }
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    GlobalFree(memory);
    throw ClipboardError("there is not enough memory for the text");
  }
  std::memcpy(target, text.c_str(), bytes);
  GlobalUnlock(memory);

  OpenedClipboard clipboard;
  if (!clipboard.IsOpen()) {
    GlobalFree(memory);
    throw ClipboardError("another program holds the clipboard");
  }
  // Once set, the memory belongs to the clipboard.
  if (!EmptyClipboard() || SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
    GlobalFree(memory);
    throw ClipboardError("the system clipboard did not accept the text");
  }
}

}  // namespace orvane
