#include "app/OrvaneApplication.h"
#include "app/RunOrvane.h"

int main(int argc, char* argv[]) {
  orvane::OrvaneApplication::setDesktopFileName(QStringLiteral(ORVANE_DESKTOP_FILE_NAME));
  orvane::OrvaneApplication app(argc, argv);
  return orvane::RunOrvane(app);
}
