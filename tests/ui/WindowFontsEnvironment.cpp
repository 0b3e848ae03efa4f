#include <gtest/gtest.h>

#include "ui/Fonts.h"

namespace {

// The program sets its fonts up before building any window; the widgets are tested likewise,
// since whether a number fits its box depends on the font.
class WindowFontsEnvironment : public testing::Environment {
 public:
  void SetUp() override { orvane::SetUpWindowFonts(); }
};

[[maybe_unused]] testing::Environment* const kWindowFonts =
    testing::AddGlobalTestEnvironment(new WindowFontsEnvironment);

}  // namespace
