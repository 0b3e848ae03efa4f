#include "io/platform/ThreadPriority.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

namespace orvane {

#if defined(_WIN32)

bool RaiseThisThreadsPriority() {
  return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL) != 0;
}

#else

bool RaiseThisThreadsPriority() {
  // Only a low real-time priority: it needs to run before the ordinary threads, not before the
  // system's own.
  sched_param parameter{};
  parameter.sched_priority = sched_get_priority_min(SCHED_FIFO) + 1;
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter) == 0;
}

#endif

}  // namespace orvane
