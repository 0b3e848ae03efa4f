#include "ui/Fonts.h"

#include <gtest/gtest.h>
#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>

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

TEST(Fonts, ATextTooWideIsDrawnNarrowerBeforeItIsDrawnSmallerEachOnlyAsFarAsNeeded) {
  const QFont described = WindowFont(WindowFontFamily::kMsSansSerif, 15);
  const QString text = QStringLiteral("Puff duration");
  const auto width_of = [&text](const QFont& font) {
    const QFontMetricsF metrics(font);
    return std::max(metrics.horizontalAdvance(text), metrics.tightBoundingRect(text).right());
  };
  // Each font engine narrows in steps of its own: one stretch wider must no longer fit.
  const auto one_wider = [](QFont font) {
    font.setStretch(font.stretch() + 1);
    return font;
  };
  const qreal full = width_of(described);
  EXPECT_EQ(FontFitting(described, text, full), described);

  const QFont narrowed = FontFitting(described, text, full * 0.95);
  EXPECT_EQ(narrowed.pixelSize(), 15);
  EXPECT_LT(narrowed.stretch(), 100);
  EXPECT_LE(width_of(narrowed), full * 0.95);
  EXPECT_GT(width_of(one_wider(narrowed)), full * 0.95) << "narrowed further than needed";

  // Semi-condensed at 15 pixels is still too wide: one pixel smaller, and narrowed as that needs.
  const QFont shrunk = FontFitting(described, text, full * 0.85);
  EXPECT_EQ(shrunk.pixelSize(), 14);
  EXPECT_LT(shrunk.stretch(), 100);
  EXPECT_LE(width_of(shrunk), full * 0.85);
  EXPECT_GT(width_of(one_wider(shrunk)), full * 0.85) << "narrowed further than needed";
  EXPECT_EQ(shrunk.family(), described.family());
}

}  // namespace
}  // namespace orvane
