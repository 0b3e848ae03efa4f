#include "app/OrvaneApplication.h"
#include "app/RunOrvane.h"
#include "app/RunProgress.h"
#include "app/platform/CommandLine.h"

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication::setDesktopFileName(QStringLiteral(ORVANE_DESKTOP_FILE_NAME));
  orvane::OrvaneApplication app(argc, argv);
  if (const auto files = orvane::ProgressFiles(orvane::CommandLineArguments(argc, argv))) {
    return orvane::RunProgress(app, *files);
  }
  return orvane::RunOrvane(app);
}
