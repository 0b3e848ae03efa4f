#include "log/JournalName.h"

#include <cstdio>

namespace orvane {

std::string RunFileStem(const LocalDateTime& run_start, int attempt) {
  char name[64];
  std::snprintf(name, sizeof name, "%04d-%02d-%02d %02d.%02d.%02d", run_start.year, run_start.month,
                run_start.day, run_start.hour, run_start.minute, run_start.second);
  std::string text = name;
  if (attempt > 1) {
    text += " (" + std::to_string(attempt) + ")";
  }
  return text;
}

}  // namespace orvane
