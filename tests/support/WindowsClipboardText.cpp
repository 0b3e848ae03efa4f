#include "tests/support/WindowsClipboardText.h"

#include <windows.h>

namespace orvane::testing {

std::wstring UnicodeTextOnTheClipboard() {
  std::wstring text;
  if (OpenClipboard(nullptr)) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
        text = chars;
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  return text;
}

}  // namespace orvane::testing
