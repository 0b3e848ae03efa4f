#include "app/platform/CommandLine.h"

namespace orvane {

// The bytes as they came: Qt's own list decodes them as UTF-8 and loses those that are not.
std::vector<std::filesystem::path> CommandLineArguments(int argc, char** argv) {
  std::vector<std::filesystem::path> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.emplace_back(argv[i]);
  }
  return arguments;
}

}  // namespace orvane
