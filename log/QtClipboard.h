#pragma once

#include "log/Clipboard.h"

namespace orvane {

// The clipboard of the running Qt application.
class QtClipboard final : public Clipboard {
 public:
  void SetText(std::string_view utf8) override;
};

}  // namespace orvane
