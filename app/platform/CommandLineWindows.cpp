#include <QCoreApplication>
#include <QStringList>

#include "app/platform/CommandLine.h"

namespace orvane {

// main's argv is in the ANSI code page, which cannot hold every name; Qt's own list is read from
// the UTF-16 command line, keeps every unit as it came and leaves out Qt's options.
std::vector<std::filesystem::path> CommandLineArguments(int, char**) {
  std::vector<std::filesystem::path> arguments;
  const QStringList given = QCoreApplication::arguments();
  for (qsizetype i = 1; i < given.size(); ++i) {
    arguments.emplace_back(given[i].toStdWString());
  }
  return arguments;
}

}  // namespace orvane
