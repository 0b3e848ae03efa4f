#include "app/CrashWords.h"

namespace orvane {

void SayCrash(CrashText& text, std::string_view what) noexcept {
  text << "The program crashed (" << what << ") and switches the puffer off before it ends.";
}

void SayValve(CrashText& text, ValveAtCrash valve, std::int32_t status,
              std::chrono::milliseconds waited) noexcept {
  switch (valve) {
    case ValveAtCrash::kNoValve:
      return;
    case ValveAtCrash::kClosed:
      text << "The puffer was switched off.";
      return;
    case ValveAtCrash::kRefused:
      text << "The puffer could not be switched off (status " << std::int64_t{status}
           << "). Check the valve.";
      return;
    case ValveAtCrash::kNoAnswer:
      text << "The puffer did not answer within " << std::int64_t{waited.count() / 1000}
           << " s and may still be on. Check the valve.";
      return;
  }
}

}  // namespace orvane
