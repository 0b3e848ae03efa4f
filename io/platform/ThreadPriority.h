#pragma once

namespace orvane {

// Raises the calling thread's scheduling priority as far as the system lets an ordinary user:
// a real-time class on Linux where the account may have one, time-critical on Windows. False when
// the thread keeps its priority, which leaves it working all the same.
bool RaiseThisThreadsPriority();

}  // namespace orvane
