#include "ui/NumLab.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPalette>
#include <QtTest/QTest>

#include <limits>

namespace {

class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++count;
    }
    return false;
  }
};

// A label set up the way the window's form sets one, through its property names.
void Configure(TNumLab& label, int width, int labelWidth, int precision, double value) {
  label.resize(width, 20);
  label.setProperty("leftSpace", 0);
  label.setProperty("labelWidth", labelWidth);
  label.setProperty("precision", precision);
  label.setProperty("overflowIndicator", QStringLiteral("*********"));
  label.setProperty("alignment", QVariant(Qt::AlignCenter));
  label.setProperty("value", value);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(12);
  label.setFont(font);
}

TEST(NumLab, CreatedWithoutSettingsHasTheComponentDefaults) {
  TNumLab label;
  const QColor buttonFace = label.palette().color(QPalette::Active, QPalette::Button);
  EXPECT_EQ(label.size(), QSize(160, 28));
  EXPECT_EQ(label.LeftSpace(), 35);
  EXPECT_EQ(label.LabelWidth(), 80);
  EXPECT_EQ(label.Precision(), 2);
  EXPECT_EQ(label.Alignment(), Qt::AlignHCenter);
  EXPECT_EQ(label.ColorLabBakG(), buttonFace);
  EXPECT_EQ(label.ColorOutBakG(), buttonFace);
  EXPECT_EQ(label.ColorLabText(), QColor(Qt::black));
  EXPECT_EQ(label.ColorOutText(), QColor(Qt::black));
  EXPECT_EQ(label.Value(), 0.0);
  EXPECT_FALSE(label.Comma());
  EXPECT_FALSE(label.ForcePlusSign());
  EXPECT_FALSE(label.Empty());
  EXPECT_TRUE(label.isEnabled());
  EXPECT_EQ(label.focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(label.ShownText(), QStringLiteral("0.00"));
}

TEST(NumLab, ShowsTheWindowsDisplaysSetThroughTheirPropertyNames) {
  TNumLab label;
  Configure(label, 50, 45, 4, 0.1);
  EXPECT_EQ(label.ShownText(), QStringLiteral("0.1000"));
  label.setProperty("precision", 0);
  label.setProperty("value", -12.0);
  EXPECT_EQ(label.ShownText(), QStringLiteral("-12"));
  EXPECT_EQ(label.property("value").toDouble(), -12.0);

  label.setProperty("precision", 2);
  label.setProperty("comma", true);
  label.setProperty("forcePlusSign", true);
  label.setProperty("value", 2.5);
  EXPECT_EQ(label.ShownText(), QStringLiteral("+2,50"));
  label.setProperty("empty", true);
  EXPECT_EQ(label.ShownText(), QString());

  label.setProperty("alignment", QVariant(Qt::AlignRight | Qt::AlignVCenter));
  EXPECT_EQ(label.Alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  for (const char* name : {"colorLabBakG", "colorLabText", "colorOutBakG", "colorOutText"}) {
    EXPECT_TRUE(label.setProperty(name, QColor(1, 2, 3))) << name;
    EXPECT_EQ(label.property(name).value<QColor>(), QColor(1, 2, 3)) << name;
  }
}

TEST(NumLab, AcceptsOnlySensiblePrecisionAndLeftSpace) {
  TNumLab label;
  label.resize(50, 20);
  label.SetPrecision(-1);
  EXPECT_EQ(label.Precision(), 2);
  label.SetPrecision(20);
  EXPECT_EQ(label.Precision(), 15);
  label.SetLeftSpace(-5);
  EXPECT_EQ(label.LeftSpace(), 35);
  label.SetLeftSpace(500);
  EXPECT_EQ(label.LeftSpace(), 50);
}

TEST(NumLab, StoresValuesExactlyAndRepaintsAtOnceOnlyWhenTheyChange) {
  QWidget window;
  TNumLab label(&window);
  Configure(label, 50, 45, 1, 2.0);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QApplication::processEvents();
  PaintCounter paints(&label);

  label.SetLabValue(2.0);
  EXPECT_EQ(paints.count, 0) << "an equal value does not repaint";

  const double sum = 0.1 + 0.2;  // not the double nearest to 0.3
  label.SetLabValue(sum);
  EXPECT_EQ(paints.count, 1) << "a new value repaints within the call";
  EXPECT_EQ(label.Value(), sum) << "stored as given, not as shown";
  EXPECT_EQ(label.ShownText(), QStringLiteral("0.3"));

  label.SetLabValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(label.Value(), sum) << "a NaN is not stored";
  EXPECT_EQ(paints.count, 1);

  label.SetPrecision(1);
  EXPECT_EQ(paints.count, 1) << "an unchanged property does not repaint";
  label.SetPrecision(3);
  EXPECT_EQ(paints.count, 2);
  label.setEnabled(false);
  EXPECT_EQ(paints.count, 3);
}

TEST(NumLab, ATextWiderThanTheBoxLessSixShowsTheIndicatorAndTheValueCountsOn) {
  TNumLab counter;
  Configure(counter, 50, 45, 0, 12);
  QFont bold = counter.font();
  bold.setBold(true);
  counter.setFont(bold);
  const int text_width = QFontMetrics(bold).horizontalAdvance(QStringLiteral("12"));

  counter.SetLabelWidth(text_width + 6);
  EXPECT_EQ(counter.ShownText(), QStringLiteral("12")) << "exactly as wide as the box less six";
  counter.SetLabelWidth(text_width + 5);
  EXPECT_EQ(counter.ShownText(), QStringLiteral("*********")) << "one pixel wider";
  counter.SetLabValue(counter.Value() + 1);
  EXPECT_EQ(counter.Value(), 13.0);
  counter.SetLabelWidth(200);
  EXPECT_EQ(counter.ShownText(), QStringLiteral("13"));
}

TEST(NumLab, KeepsThePointUnderADecimalCommaLocale) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TNumLab odds;
  Configure(odds, 50, 45, 4, 0.1);
  EXPECT_EQ(odds.ShownText(), QStringLiteral("0.1000"));
  QLocale::setDefault(previous);
}

// Pixels of the text area that pass `test`; smoothed glyph edges blend with the background.
template <typename Test>
int CountPixels(TNumLab& label, Test test) {
  const QImage image = label.grab().toImage();
  const QRect textArea(3, 2, label.LabelWidth() - 4, label.height() - 5);
  int count = 0;
  for (int y = textArea.top(); y <= textArea.bottom(); ++y) {
    for (int x = textArea.left(); x <= textArea.right(); ++x) {
      count += test(image.pixelColor(x, y)) ? 1 : 0;
    }
  }
  return count;
}

bool Reddish(const QColor& c) {
  return c.red() > c.green() + 60;
}
bool DarkGrey(const QColor& c) {
  return c.red() == c.green() && c.green() == c.blue() && c.red() < 200;
}

TEST(NumLab, DrawsADisabledValueInGreyWhateverItsTextColour) {
  TNumLab port;
  Configure(port, 40, 35, 0, 2);
  port.SetColorLabBakG(Qt::white);
  port.SetColorLabText(QColor(255, 0, 0));
  EXPECT_GT(CountPixels(port, Reddish), 0);

  port.setEnabled(false);
  EXPECT_EQ(port.ValueTextColour(), QColor(128, 128, 128));
  EXPECT_EQ(CountPixels(port, Reddish), 0);
  EXPECT_GT(CountPixels(port, DarkGrey), 0);
  EXPECT_GT(CountPixels(port, [](const QColor& c) { return c == Qt::white; }), 0)
      << "the box keeps its own background";
  EXPECT_EQ(port.ShownText(), QStringLiteral("2"));
}

}  // namespace
