#include "io/DeviceMessages.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvane {
namespace {

constexpr const char* kWithoutDevice =
    "the perch will read as occupied and the puffer will not move; install the driver or "
    "connect the device, then restart.";

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

// Seconds to one decimal: "5.0".
std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", std::isfinite(seconds) ? seconds : 0.0);
  return text;
}

// A sentence that ends in its own full stop gets none added.
std::string Sentence(std::string text) {
  if (text.empty() || text.back() != '.') {
    text += '.';
  }
  return text;
}

}  // namespace

std::string Describe(const FailedCall& call) {
  std::string text = std::string(call.function) + " on " + call.lines + " failed with status " +
                     std::to_string(call.status);
  if (const std::string words = Trimmed(call.driver_text); !words.empty()) {
    text += ": " + words;
  }
  return text;
}

std::string OpeningFailureText(const std::vector<FailedCall>& failures, const char* library,
                               const char* missing_function, const char* puffer_lines) {
  const daq::int32 first = failures.empty() ? 0 : failures.front().status;
  if (first == daq::kLibraryNotFound) {
    return std::string("The device driver library \"") + library + "\" could not be loaded, so " +
           kWithoutDevice;
  }
  if (first == daq::kFunctionNotFound) {
    return std::string("The device driver library \"") + library + "\" lacks the function " +
           (missing_function != nullptr ? missing_function : "?") + ", so " + kWithoutDevice;
  }
  bool puffer = false;
  bool perch = false;
  std::string text = "The acquisition device could not be opened.\n";
  for (const FailedCall& call : failures) {
    (std::strcmp(call.lines, puffer_lines) == 0 ? puffer : perch) = true;
    text += Describe(call) + "\n";
  }
  text += puffer && perch ? "Until it works, the perch will read as occupied and the puffer will "
                            "not move; connect the device, then restart."
          : puffer        ? "Until it works, the puffer will not move; connect the device, then "
                            "restart."
                          : "Until it works, the perch will read as occupied; connect the device, "
                            "then restart.";
  return text;
}

std::string CallFailureText(const char* what, const FailedCall& call, const char* then) {
  return std::string(what) + ": " + Describe(call) + "\n" + then;
}

std::string DeadlineClosureText(double seconds, double late_seconds) {
  return "The window was not answering for " + Seconds(seconds) +
         " s; the puffer was switched off " + Seconds(late_seconds) + " s after its set time.";
}

std::string WatchdogExpiryText(double seconds) {
  return "The window was not answering for " + Seconds(seconds) +
         " s; the device's watchdog switched the puffer off.";
}

std::string ValveLeftOpenText(const FailedCall& call) {
  return Sentence("The puffer could not be switched off: " + Describe(call)) + " Check the valve.";
}

std::string WatchdogText(const char* device, double timeout_seconds) {
  return std::string("Should this program stop, the watchdog of ") + device +
         " switches the puffer off after " + Seconds(timeout_seconds) + " s.";
}

std::string NoWatchdogText(const FailedCall* refused) {
  if (refused == nullptr) {
    return "The device driver has no watchdog functions: only this program switches the puffer "
           "off.";
  }
  // The reason on a line of its own, so that the tooltip stays narrow.
  return std::string(refused->lines) +
         " has no watchdog of its own: only this program switches the puffer off.\n" +
         Sentence(Describe(*refused));
}

}  // namespace orvane
