#pragma once

#include <stdexcept>
#include <string>

namespace orvane {

// A media player's request failed; what() is the sound service's text for it.
class EMCIDeviceError : public std::runtime_error {
 public:
  explicit EMCIDeviceError(const std::string& message) : std::runtime_error(message) {}
};

// A song folder could not be entered; what() names the file system's reason.
class EInOutError : public std::runtime_error {
 public:
  explicit EInOutError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orvane
