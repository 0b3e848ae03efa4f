#include "log/platform/WindowsClipboard.h"

#include <gtest/gtest.h>

#include "tests/support/WindowsClipboardText.h"

namespace orvane {
namespace {

TEST(WindowsClipboard, OtherProgramsReadTheTextWithItsOwnLineEnds) {
  WindowsClipboard clipboard;
  clipboard.SetText("older contents");
  clipboard.SetText("Time\tSong\n\n21/03/2024 \xC3\xA9t\xC3\xA9\tgood\n");
  EXPECT_EQ(testing::UnicodeTextOnTheClipboard(),
            L"Time\tSong\n\n21/03/2024 \u00E9t\u00E9\tgood\n");
}

}  // namespace
}  // namespace orvane
