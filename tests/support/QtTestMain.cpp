#include <QApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  // Test discovery only lists the cases: no application, so no platform plugin is needed.
  if (GTEST_FLAG_GET(list_tests)) {
    return RUN_ALL_TESTS();
  }
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
