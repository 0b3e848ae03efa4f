#include "bench/support/PeakMemory.h"

#if defined(_WIN32)
#include <windows.h>

// After windows.h, which declares what it builds on.
#include <psapi.h>
#else
#include <sys/resource.h>
#include <fstream>
#include <string>
#endif

namespace orvane::bench {

#if defined(_WIN32)

std::size_t PeakResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    return 0;
  }
  return counters.PeakWorkingSetSize;
}

std::size_t CurrentResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    return 0;
  }
  return counters.WorkingSetSize;
}

#else

std::size_t PeakResidentBytes() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) {
    return 0;
  }
#if defined(__APPLE__)
  return static_cast<std::size_t>(usage.ru_maxrss);
#else
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // kilobytes on Linux
#endif
}

std::size_t CurrentResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      std::size_t kilobytes = 0;
      status >> kilobytes;
      return kilobytes * 1024;
    }
    status.ignore(4096, '\n');
  }
  return 0;
}

#endif

}  // namespace orvane::bench
