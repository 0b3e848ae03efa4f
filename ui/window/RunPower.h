#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "control/NoticeBoard.h"
#include "log/record/RunRecord.h"
#include "ui/window/MachinePower.h"

// What the window asks of the machine's power: awake from Start to Stop or close, the valve closed
// before the machine sleeps anyway, and one notice of how long it slept once it wakes. A machine
// that cannot be kept awake is told once in the program's life.
class RunPower {
 public:
  struct Parts {
    orvane::MachinePower& power;
    orvane::NoticeBoard& notices;
    orvane::record::RunRecord& record;
    // Writes the puffer's off pattern: whether the write held, or nothing without a valve.
    std::function<std::optional<bool>()> close_valve;
  };

  explicit RunPower(Parts parts);
  ~RunPower();
  RunPower(const RunPower&) = delete;
  RunPower& operator=(const RunPower&) = delete;

  void RunStarted(std::uintptr_t window);
  void RunStopped();
  // The window closes: sleep is allowed and no longer heard of.
  void Close();

 private:
  void Sleeps();
  void Woke(std::chrono::milliseconds slept);
  void Refused(const std::string& why);

  Parts parts_;
  bool running_ = false;
  bool refusal_told_ = false;
  std::optional<bool> valve_closed_for_sleep_;
};
