#pragma once

namespace orvane {

// Who writes a pattern to the puffer: a trial's decision or the end of its puff phase, the
// manual puff, the rewrite of an off pattern that failed, the window closing, the opening at
// start-up, the puff's deadline when the window did not end it in time, the window coming back
// after the device's watchdog drove the lines low, a crash's last act, and the machine going to
// sleep.
enum class PuffWriter {
  kTrial,
  kManual,
  kRewrite,
  kClose,
  kStart,
  kDeadline,
  kWatchdog,
  kCrash,
  kSleep
};

}  // namespace orvane
