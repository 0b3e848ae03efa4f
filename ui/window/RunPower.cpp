#include "ui/window/RunPower.h"

#include <utility>

namespace {

// "1 h 2 min 5 s", "3 min 0 s", "45 s": to the nearest second.
std::string SleptText(std::chrono::milliseconds slept) {
  const std::int64_t seconds = (slept.count() + 500) / 1000;
  std::string text;
  if (seconds >= 3600) {
    text += std::to_string(seconds / 3600) + " h ";
  }
  if (seconds >= 60) {
    text += std::to_string(seconds / 60 % 60) + " min ";
  }
  return text + std::to_string(seconds % 60) + " s";
}

}  // namespace

RunPower::RunPower(Parts parts) : parts_(std::move(parts)) {
  parts_.power.Listen({[this] { Sleeps(); },
                       [this](std::chrono::milliseconds slept) { Woke(slept); },
                       [this](const std::string& why) { Refused(why); }});
}

RunPower::~RunPower() {
  Close();
}

void RunPower::RunStarted(std::uintptr_t window) {
  if (!running_) {
    running_ = true;
    parts_.power.StayAwake(window);
  }
}

void RunPower::RunStopped() {
  if (running_) {
    running_ = false;
    parts_.power.AllowSleep();
  }
}

void RunPower::Close() {
  RunStopped();
  parts_.power.Listen({});
}

void RunPower::Sleeps() {
  parts_.record.MachineSleeps();
  valve_closed_for_sleep_ = parts_.close_valve();
}

void RunPower::Woke(std::chrono::milliseconds slept) {
  parts_.record.MachineWoke(slept.count());
  std::string text = "The computer slept for " + SleptText(slept);
  if (valve_closed_for_sleep_) {
    text += *valve_closed_for_sleep_
                ? ". The puffer was switched off before it went to sleep"
                : ". The puffer could not be switched off before it went to sleep: check the valve";
  }
  text += running_ ? "; the run goes on." : ".";
  parts_.notices.Post(std::move(text));
}

void RunPower::Refused(const std::string& why) {
  if (!std::exchange(refusal_told_, true)) {
    parts_.notices.Post("This computer may go to sleep during the run: " + why +
                        ". Set it not to sleep by itself while an experiment runs.");
  }
}
