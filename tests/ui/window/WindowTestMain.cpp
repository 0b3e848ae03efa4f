#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/OrvaneApplication.h"
#include "tests/support/TemporaryDocuments.h"
#include "ui/Fonts.h"

// The window runs under the program's own application object, so that an exception leaving a
// handler is shown as the program shows it; fonts are set up as the program sets them up.
int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) {
    return RUN_ALL_TESTS();
  }
  // Never a real display, and never the user's own documents.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const orvane::testing::TemporaryDocuments documents;
  documents.UseInThisProcess();
  orvane::OrvaneApplication app(argc, argv);
  app.SetErrorBox([](const QString&, const QString& text) {
    ADD_FAILURE() << "unexpected error box: " << text.toStdString();
  });
  orvane::SetUpWindowFonts();
  return RUN_ALL_TESTS();
}
