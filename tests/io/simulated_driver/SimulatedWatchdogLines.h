#pragma once

#include <atomic>
#include <cstdint>

// The simulated device's port 0 while it has a watchdog. It lives in a file that the simulated
// driver and the process standing for the device's watchdog circuit both map, so that the lines
// outlive the program's process, and a test reads them from the file (port0 comes first).
struct SimulatedWatchdogLines {
  enum State : std::int32_t { kStopped = 0, kRunning = 1, kExpired = 2 };

  std::atomic<std::uint8_t> port0[8];
  std::atomic<std::uint8_t> expiry_levels[8];
  // Held while the state and the lines change together.
  std::atomic<std::int32_t> busy;
  std::atomic<std::int32_t> state;
  std::atomic<std::int64_t> timeout_ns;
  std::atomic<std::int64_t> last_reset_ns;  // steady clock
  // How long after the last reset the circuit drove the lines to their expiry levels.
  std::atomic<std::int64_t> expired_after_ns;
};

static_assert(std::atomic<std::int64_t>::is_always_lock_free,
              "the lines are shared between processes, which only lock-free atomics allow");
