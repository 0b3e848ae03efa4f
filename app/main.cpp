#include "app/OrvaneApplication.h"
#include "app/RunOrvane.h"
#include "app/RunProgress.h"

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication::setDesktopFileName(QStringLiteral(ORVANE_DESKTOP_FILE_NAME));
  orvane::OrvaneApplication app(argc, argv);
  if (const auto files = orvane::ProgressFiles(orvane::OrvaneApplication::arguments())) {
    return orvane::RunProgress(app, *files);
  }
  return orvane::RunOrvane(app);
}
