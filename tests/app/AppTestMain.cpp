#include <gtest/gtest.h>

#include "app/OrvaneApplication.h"

// The application object under test is the test program's own, so it replaces the usual main.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) {
    return RUN_ALL_TESTS();
  }
  orvane::OrvaneApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
