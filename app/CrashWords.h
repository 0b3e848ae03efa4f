#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "log/FixedText.h"

namespace orvane {

// What a crash says, put together inside the crash: no allocation.
using CrashText = FixedText<512>;

// What became of the valve in a crash's last act.
enum class ValveAtCrash { kNoValve, kClosed, kRefused, kNoAnswer };

// What the last act's off-write, the driver's status or none without a valve, left the valve as.
constexpr ValveAtCrash ValveAfterWrite(std::optional<std::int32_t> written) noexcept {
  return !written ? ValveAtCrash::kNoValve
                  : (*written >= 0 ? ValveAtCrash::kClosed : ValveAtCrash::kRefused);
}

// Said first, before anything that might hang: "The program crashed (SIGSEGV) and switches the
// puffer off before it ends."
void SayCrash(CrashText& text, std::string_view what) noexcept;
// Said once the valve's last write is known: nothing without a valve; else that it is off, or
// that it may still be on and must be checked.
void SayValve(CrashText& text, ValveAtCrash valve, std::int32_t status,
              std::chrono::milliseconds waited) noexcept;

}  // namespace orvane
