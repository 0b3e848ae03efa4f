#include "ui/Fonts.h"

#include <gtest/gtest.h>
#include <QFontInfo>

namespace orvane {
namespace {

TEST(Fonts, ChoosesTheFirstInstalledLookAlikeOfEachFamily) {
  const QStringList machine = {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
  EXPECT_EQ(ChooseSubstitute(QStringLiteral("Tahoma"), machine), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(ChooseSubstitute(QStringLiteral("MS Sans Serif"), machine),
            QStringLiteral("Liberation Sans"))
      << "the narrow look-alike keeps the displays' numbers from overflowing";
  EXPECT_EQ(ChooseSubstitute(QStringLiteral("Arial"), {QStringLiteral("dejavu sans")}),
            QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(ChooseSubstitute(QStringLiteral("Arial"), {QStringLiteral("Arial")}), QString())
      << "a family is no look-alike of itself";
  EXPECT_EQ(ChooseSubstitute(QStringLiteral("Arial"), {}), QString());
}

TEST(Fonts, AfterSetUpEveryWindowFamilyRendersAsItselfOrItsLookAlike) {
  const QStringList rendering = SetUpWindowFonts();
  ASSERT_EQ(rendering.size(), 3);
  const WindowFontFamily families[] = {WindowFontFamily::kTahoma, WindowFontFamily::kMsSansSerif,
                                       WindowFontFamily::kArial};
  for (int i = 0; i < 3; ++i) {
    const QString family = FamilyName(families[i]);
    const QString substitute = QFont::substitute(family);  // Qt keeps it in lower case
    EXPECT_TRUE(rendering[i] == family ||
                rendering[i].compare(substitute, Qt::CaseInsensitive) == 0)
        << family.toStdString() << " renders as " << rendering[i].toStdString();
  }
  EXPECT_EQ(SetUpWindowFonts(), rendering) << "running it again changes nothing";

  const QFont counter = WindowFont(WindowFontFamily::kMsSansSerif, 12, true);
  EXPECT_EQ(counter.pixelSize(), 12);
  EXPECT_TRUE(counter.bold());
}

}  // namespace
}  // namespace orvane
