#pragma once

#include "log/Clipboard.h"

namespace orvane {

// The Windows clipboard, written directly as Unicode text (CF_UNICODETEXT) with the text's own
// line ends: Qt's clipboard would put a CR before every LF, which other programs then read.
class WindowsClipboard final : public Clipboard {
 public:
  void SetText(std::string_view utf8) override;
};

}  // namespace orvane
