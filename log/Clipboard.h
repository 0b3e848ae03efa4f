#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

// Raised when the system clipboard cannot take the text; the clipboard keeps what it held.
class ClipboardError : public std::runtime_error {
 public:
  explicit ClipboardError(const std::string& reason)
      : std::runtime_error("Cannot open clipboard: " + reason) {}
};

// The system clipboard as the log uses it: replace its contents with Unicode text.
class Clipboard {
 public:
  virtual ~Clipboard() = default;

  // `utf8` replaces the clipboard's contents in one step; throws ClipboardError on failure.
  virtual void SetText(std::string_view utf8) = 0;
};

}  // namespace orvane
