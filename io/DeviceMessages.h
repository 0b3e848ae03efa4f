#pragma once

#include <string>
#include <vector>

#include "io/DaqInterface.h"

namespace orvane {

// A driver call that failed, as the experimenter is told of it.
struct FailedCall {
  const char* function = "";
  const char* lines = "";  // the device lines of the task it was made on
  daq::int32 status = 0;
  std::string driver_text;  // the driver's words for the status; empty when it has none
};

// "<function> on <lines> failed with status <n>: <driver's text>"; without a text, the number.
std::string Describe(const FailedCall& call);

// The one box after a failed start-up: the library that could not be loaded, the function it
// lacks, or the first failing call of each task, with what that means for the experiment.
// `failures` holds the first failing call of each task, in the order the tasks were opened;
// a task whose lines are `puffer_lines` drives the valve.
std::string OpeningFailureText(const std::vector<FailedCall>& failures, const char* library,
                               const char* missing_function, const char* puffer_lines);

// The box of the first failing read or write after a good one: `what` says what could not be
// done, `then` what the program does until a call succeeds.
std::string CallFailureText(const char* what, const FailedCall& call, const char* then);

// The box after the window's thread came back from `seconds` without answering, during which
// the puff's own deadline switched the puffer off, `late_seconds` after the puff's set time, or
// the device's watchdog drove its lines low.
std::string DeadlineClosureText(double seconds, double late_seconds);
std::string WatchdogExpiryText(double seconds);

// Said when the program ends while its last write of the off pattern failed.
std::string ValveLeftOpenText(const FailedCall& call);

// The `puff` shape's tooltip: the device's watchdog that switches the valve off by itself, or why
// there is none (`refused` null: the driver has no watchdog functions).
std::string WatchdogText(const char* device, double timeout_seconds);
std::string NoWatchdogText(const FailedCall* refused);

}  // namespace orvane
