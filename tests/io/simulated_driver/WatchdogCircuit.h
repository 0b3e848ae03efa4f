#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "tests/io/simulated_driver/SimulatedWatchdogLines.h"

// The simulated device's watchdog (Linux only): port 0's lines in a shared file, and a process
// of its own that drives them to their expiry levels when the timer is not reset in time, whether
// or not the program that started it still runs.
class WatchdogCircuit {
 public:
  using Levels = std::array<std::uint8_t, 8>;

  // Null when the file cannot be made.
  static std::unique_ptr<WatchdogCircuit> Create(const char* path, const Levels& levels,
                                                 double timeout_seconds);
  ~WatchdogCircuit();
  WatchdogCircuit(const WatchdogCircuit&) = delete;
  WatchdogCircuit& operator=(const WatchdogCircuit&) = delete;

  void SetExpiryLevels(const Levels& levels);
  // Starts the timer, and the circuit's process with the first start.
  void Start();
  void Stop();
  void Reset();
  // False when there was no expiry to clear.
  bool ClearExpiration();
  bool Expired() const;
  // False, changing nothing, while the watchdog has expired.
  bool Write(const Levels& levels);
  Levels Read() const;

 private:
  explicit WatchdogCircuit(SimulatedWatchdogLines* lines) : lines_(lines) {}

  SimulatedWatchdogLines* lines_;
  bool circuit_started_ = false;
};
