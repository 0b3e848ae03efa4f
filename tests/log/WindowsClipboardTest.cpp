#include "log/platform/WindowsClipboard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace orvane {
namespace {

// What any other program reads: the Unicode text as the system holds it, not through Qt.
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

TEST(WindowsClipboard, OtherProgramsReadTheTextWithItsOwnLineEnds) {
  WindowsClipboard clipboard;
  clipboard.SetText("older contents");
  clipboard.SetText("Time\tSong\n\n21/03/2024 \xC3\xA9t\xC3\xA9\tgood\n");
  EXPECT_EQ(UnicodeTextOnTheClipboard(), L"Time\tSong\n\n21/03/2024 \u00E9t\u00E9\tgood\n");
}

}  // namespace
}  // namespace orvane
