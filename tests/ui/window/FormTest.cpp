#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QtTest/QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "playback/view/FileListBox.h"
#include "playback/view/MediaPlayerBar.h"
#include "tests/ui/window/WindowRig.h"
#include "ui/Fonts.h"
#include "ui/NumLab.h"
#include "ui/window/RadioGroup.h"
#include "ui/window/Shape.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

using testing::WindowRig;

struct Font {
  QString family;
  int pixel_size;
  bool bold = false;
};

struct Slider {
  int minimum;
  int maximum;
  int position;
};

struct Display {
  double value;
  int precision;
  int label_width;
  QColor box;   // ColorLabBakG; invalid for the button face
  QColor text;  // ColorLabText
};

// One control as the window is described: a field left out is not checked for that control.
struct Control {
  const char* name;
  const char* kind;
  QRect place;
  QStringList texts = {};  // a label's or button's text; a group's caption, then its items
  std::optional<Font> font = std::nullopt;
  bool enabled = true;
  bool visible = true;
  QString tooltip = {};
  std::optional<Slider> slider = std::nullopt;
  std::optional<Display> display = std::nullopt;
  std::optional<QColor> fill = std::nullopt;  // a shape's
};

const QColor kBlack(0, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kButtonFace;  // invalid: the palette's own

const Font kCaption{"MS Sans Serif", 15};
const Font kPortLine{"MS Sans Serif", 12};
const Font kCounterCaption{"MS Sans Serif", 13};
const Font kButton{"Tahoma", 16, true};
const Font kSongTitle{"Arial", 16};

const Control kControls[] = {
    {"StaticText310", "QLabel", {30, 89, 71, 22}, {"Bad song"}, kSongTitle},
    {"input0", "QToolButton", {8, 117, 27, 21}},
    {"playbacks_folder0",
     "QLineEdit",
     {41, 117, 180, 21},
     {},
     Font{"MS Sans Serif", 11, true},
     true,
     true,
     "click 'hold on' to enable"},
    {"bad_song_list", "TFileListBox", {8, 144, 213, 110}, {}, Font{"MS Sans Serif", 11}},
    {"play_bad", "TMediaPlayer", {8, 258, 57, 30}, {}, {}, false},
    {"StaticText1", "QLabel", {497, 89, 91, 22}, {"Neutral song"}, kSongTitle},
    {"input1", "QToolButton", {475, 117, 27, 21}},
    {"playbacks_folder1",
     "QLineEdit",
     {508, 117, 177, 21},
     {},
     Font{"MS Sans Serif", 11, true},
     true,
     true,
     "click 'hold on' to enable"},
    {"good_song_list", "TFileListBox", {475, 144, 213, 110}, {}, Font{"MS Sans Serif", 11}},
    {"play_good", "TMediaPlayer", {475, 258, 57, 30}, {}, {}, false},

    {"bad_stay",
     "TNumLab",
     {71, 260, 50, 20},
     {},
     Font{"MS Sans Serif", 12, true},
     true,
     true,
     {},
     {},
     Display{0, 0, 45, kLime, kBlack}},
    {"StaticText10", "QLabel", {127, 260, 50, 20}, {"Stayed:"}, kCounterCaption},
    {"bad_escape",
     "TNumLab",
     {71, 286, 50, 20},
     {},
     Font{"MS Sans Serif", 12, true},
     true,
     true,
     {},
     {},
     Display{0, 0, 45, kRed, kYellow}},
    {"StaticText11", "QLabel", {127, 286, 59, 20}, {"Escaped"}, kCounterCaption},
    {"good_stay",
     "TNumLab",
     {538, 260, 50, 20},
     {},
     Font{"MS Sans Serif", 12, true},
     true,
     true,
     {},
     {},
     Display{0, 0, 45, kLime, kBlack}},
    {"StaticText12", "QLabel", {594, 260, 50, 20}, {"Stayed:"}, kCounterCaption},
    {"good_escape",
     "TNumLab",
     {538, 286, 50, 20},
     {},
     Font{"MS Sans Serif", 12, true},
     true,
     true,
     {},
     {},
     Display{0, 0, 45, kRed, kYellow}},
    {"StaticText13", "QLabel", {594, 286, 59, 20}, {"Escaped"}, kCounterCaption},

    {"Shape1", "TShape", {253, 117, 198, 156}, {}, {}, true, true, {}, {}, {}, QColor(0, 128, 0)},
    // The device has no watchdog: the tooltip says so, no box.
    {"puff",
     "TShape",
     {320, 121, 65, 58},
     {},
     {},
     true,
     true,
     "Dev1 has no watchdog of its own: only this program switches the puffer off.\n"
     "DAQmxCreateWatchdogTimerTaskEx on Dev1 failed with status -201119: The simulated device has "
     "no watchdog timer.",
     {},
     {},
     QColor(0, 0, 255)},
    {"perch", "TShape", {304, 184, 97, 17}, {}, {}, true, true, {}, {}, {}, kBlack},
    {"StaticText5", "QLabel", {267, 223, 35, 17}, {"Perch:"}, kPortLine, true, false},
    {"StaticText21", "QLabel", {308, 210, 26, 17}, {"Port:"}, kPortLine},
    {"p1",
     "TNumLab",
     {337, 207, 40, 20},
     {},
     kPortLine,
     false,
     true,
     {},
     {},
     Display{2, 0, 35, kButtonFace, kNavy}},
    {"p1s", "TCSpinButton", {381, 204, 20, 25}, {}, {}, false},
    {"StaticText2", "QLabel", {305, 235, 27, 17}, {"Line:"}, kPortLine},
    {"l1",
     "TNumLab",
     {337, 235, 40, 20},
     {},
     kPortLine,
     true,
     true,
     {},
     {},
     Display{7, 0, 35, kButtonFace, kNavy}},
    {"l1s", "TCSpinButton", {381, 230, 20, 25}},

    {"StaticText36", "QLabel", {135, 40, 35, 17}, {"Puffer:"}, kPortLine, true, false},
    {"StaticText3", "QLabel", {179, 24, 26, 17}, {"Port:"}, kPortLine},
    {"p2",
     "TNumLab",
     {209, 21, 40, 20},
     {},
     kPortLine,
     false,
     true,
     {},
     {},
     Display{0, 0, 35, kButtonFace, kMaroon}},
    {"p2s", "TCSpinButton", {253, 18, 20, 25}, {}, {}, false},
    {"StaticText4", "QLabel", {176, 49, 27, 17}, {"Line:"}, kPortLine},
    {"l2",
     "TNumLab",
     {209, 48, 40, 20},
     {},
     kPortLine,
     false,
     true,
     {},
     {},
     Display{4, 0, 35, kButtonFace, kMaroon}},
    {"l2s", "TCSpinButton", {253, 45, 20, 25}, {}, {}, false},
    {"puffer", "QToolButton", {280, 8, 82, 67}, {}, {}, true, true, "play sound"},

    {"StaticText6", "QLabel", {383, 8, 77, 20}, {"Puff duration"}, kCaption},
    {"puff_duration", "QSlider", {457, 8, 108, 20}, {}, {}, true, true, {}, Slider{0, 50, 10}},
    {"puff_duration_val",
     "TNumLab",
     {571, 8, 50, 20},
     {},
     kPortLine,
     true,
     true,
     {},
     {},
     Display{1.0, 2, 45, kButtonFace, kBlack}},
    {"StaticText7", "QLabel", {627, 8, 9, 17}, {"s"}},
    {"StaticText8", "QLabel", {392, 34, 63, 20}, {"Puff delay"}, kCaption},
    {"action_delayTb", "QSlider", {457, 34, 108, 20}, {}, {}, true, true, {}, Slider{0, 50, 20}},
    {"action_delay",
     "TNumLab",
     {571, 34, 50, 20},
     {},
     kPortLine,
     true,
     true,
     {},
     {},
     Display{2.0, 1, 45, kButtonFace, kBlack}},
    {"StaticText9", "QLabel", {627, 34, 9, 17}, {"s"}},
    {"StaticText285", "QLabel", {416, 60, 35, 20}, {"odds"}, kCaption},
    {"feedback_delay1", "QSlider", {457, 63, 108, 20}, {}, {}, true, true, {}, Slider{1, 300, 100}},
    {"odds",
     "TNumLab",
     {571, 60, 50, 20},
     {},
     kPortLine,
     true,
     true,
     {},
     {},
     Display{0.1, 4, 45, kButtonFace, kBlack}},
    {"StaticText284", "QLabel", {627, 63, 13, 17}, {"/s"}, Font{"Tahoma", 11}},

    {"Start", "QPushButton", {8, 328, 81, 40}, {"Start"}, kButton},
    {"Stop", "QPushButton", {95, 328, 82, 40}, {"Stop"}, kButton},
    {"copy", "QPushButton", {527, 328, 77, 40}, {"Copy"}, kButton},
    {"clear", "QPushButton", {610, 328, 78, 40}, {"Clear"}, kButton},
    {"report", "TReportListView", {90, 374, 514, 385}},

    {"song_selection", "TRadioGroup", {627, 424, 138, 49}, {"song selection", "random", "serial"}},
    {"precent_bad",
     "TRadioGroup",
     {627, 479, 146, 97},
     {"% neutral songs:", "0%", "25%", "50%", "75%", "100%"}},
    {"serial_tb", "QSlider", {628, 479, 108, 20}, {}, {}, true, false, {}, Slider{2, 100, 10}},
    {"serial_num",
     "TNumLab",
     {742, 479, 40, 20},
     {},
     kPortLine,
     false,
     false,
     {},
     {},
     Display{10, 0, 35, kButtonFace, kMaroon}},
    // The captions were swapped once: item 0 starts serial mode with the neutral song.
    {"start_with",
     "TRadioGroup",
     {628, 505, 154, 49},
     {"start with", "safe song", "bad song"},
     {},
     true,
     false},
};

QStringList TextsOf(QWidget& widget) {
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    return {label->text()};
  }
  if (auto* group = qobject_cast<TRadioGroup*>(&widget)) {
    return QStringList{group->title()} + group->Items();
  }
  if (auto* button = qobject_cast<QAbstractButton*>(&widget); button && !button->text().isEmpty()) {
    return {button->text()};
  }
  return {};
}

class FormTest : public ::testing::Test {
 protected:
  FormTest() { rig_.Open(); }

  QWidget* Named(const char* name) { return rig_.window().findChild<QWidget*>(name); }

  WindowRig rig_;
};

TEST_F(FormTest, EveryControlStartsWhereAndAsTheWindowDescribesIt) {
  TForm1& window = rig_.window();
  EXPECT_EQ(window.windowTitle(), "Orvane");
  EXPECT_EQ(window.size(), QSize(813, 758));
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(192, 192, 192));
  EXPECT_EQ(window.font().family(), "Tahoma");
  EXPECT_EQ(window.font().pixelSize(), 11);
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_FALSE(window.Timer1().IsEnabled());
  EXPECT_FALSE(window.Timer2().IsEnabled());

  for (const Control& expected : kControls) {
    SCOPED_TRACE(expected.name);
    QWidget* widget = Named(expected.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), expected.kind);
    EXPECT_EQ(widget->geometry(), expected.place);
    if (!expected.texts.isEmpty()) {
      EXPECT_EQ(TextsOf(*widget), expected.texts);
    }
    EXPECT_EQ(widget->isEnabled(), expected.enabled);
    EXPECT_EQ(!widget->isHidden(), expected.visible);
    EXPECT_EQ(widget->toolTip(), expected.tooltip);
    if (expected.slider) {
      const auto* slider = qobject_cast<QSlider*>(widget);
      ASSERT_NE(slider, nullptr);
      EXPECT_EQ(slider->minimum(), expected.slider->minimum);
      EXPECT_EQ(slider->maximum(), expected.slider->maximum);
      EXPECT_EQ(slider->value(), expected.slider->position);
      EXPECT_EQ(slider->orientation(), Qt::Horizontal);
      EXPECT_EQ(slider->tickPosition(), QSlider::NoTicks);
    }
    if (expected.display) {
      const auto* display = qobject_cast<TNumLab*>(widget);
      ASSERT_NE(display, nullptr);
      EXPECT_EQ(display->Value(), expected.display->value);
      EXPECT_EQ(display->Precision(), expected.display->precision);
      EXPECT_EQ(display->LabelWidth(), expected.display->label_width);
      EXPECT_EQ(display->LeftSpace(), 0);
      EXPECT_FALSE(display->Comma());
      EXPECT_EQ(display->OverflowIndicator(), "*********");
      EXPECT_EQ(display->ColorOutBakG(), QColor(192, 192, 192));
      EXPECT_EQ(display->ColorLabBakG(), expected.display->box.isValid()
                                             ? expected.display->box
                                             : display->palette().color(QPalette::Button));
      EXPECT_EQ(display->ColorLabText(), expected.display->text);
    }
    if (expected.fill) {
      EXPECT_EQ(qobject_cast<TShape*>(widget)->BrushColor(), *expected.fill);
    }
    const QString kind = expected.kind;
    if (kind == "QLabel" || kind == "TNumLab" || kind == "TShape" || kind == "TCSpinButton") {
      EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus) << "takes no keyboard focus";
    }
  }

  // The form names nothing that the description lacks, apart from the radio groups' items.
  int named = 0;
  for (const QWidget* child :
       rig_.form().contents->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    named += child->objectName().isEmpty() ? 0 : 1;
  }
  EXPECT_EQ(named, static_cast<int>(std::size(kControls)));

  const Ui::TForm1& form = rig_.form();
  EXPECT_EQ(form.song_selection->ItemIndex(), 0);
  EXPECT_EQ(form.precent_bad->ItemIndex(), 2);
  EXPECT_EQ(form.start_with->ItemIndex(), 0);
  EXPECT_EQ(form.puff_duration_val->ShownText(), "1.00");
  EXPECT_EQ(form.action_delay->ShownText(), "2.0");
  EXPECT_EQ(form.odds->ShownText(), "0.1000");
  EXPECT_EQ(form.l1->ShownText(), "7");
  EXPECT_EQ(form.bad_stay->ShownText(), "0");
  EXPECT_EQ(form.bad_song_list->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(form.good_song_list->palette().color(QPalette::Base), QColor(Qt::white));
}

// The ink of a drawn text within `area`: the box around every pixel that stands out from the
// background, and its weight, the sum of each pixel's distance from the background divided by the
// ink's full distance, so that it counts fully covered pixels whatever the colours.
struct Ink {
  QRect box;
  double weight = 0;
};

int Distance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}

// The area's most frequent colour.
QRgb BackgroundOf(const QImage& image, const QRect& area) {
  QHash<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      ++counts[image.pixel(x, y)];
    }
  }
  QRgb background = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > counts.value(background)) {
      background = it.key();
    }
  }
  return background;
}

Ink InkOf(const QImage& image, const QRect& area, QRgb ink) {
  const QRgb background = BackgroundOf(image, area);
  const int full = std::max(Distance(ink, background), 1);
  Ink found;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const int distance = Distance(image.pixel(x, y), background);
      if (distance * 4 > full) {
        found.box |= QRect(x, y, 1, 1);
        found.weight += std::min(1.0, static_cast<double>(distance) / full);
      }
    }
  }
  return found;
}

// The same text in the given font, black on white, as the reference of what the screen must show.
Ink ReferenceInk(const QString& text, const QFont& font) {
  const QFontMetrics metrics(font);
  QImage image(metrics.horizontalAdvance(text) + 8, metrics.height() + 8, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(4, 4 + metrics.ascent(), text);
  painter.end();
  return InkOf(image, image.rect(), qRgb(0, 0, 0));
}

// Where a control draws its text, the text, and the text's colour.
struct DrawnText {
  QRect area;
  QString text;
  QColor ink;
};

DrawnText TextDrawnBy(QWidget& widget) {
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    return {label->rect(), label->text(), label->palette().color(QPalette::WindowText)};
  }
  if (auto* button = qobject_cast<QPushButton*>(&widget)) {
    return {button->rect().adjusted(4, 4, -4, -4), button->text(),
            button->palette().color(QPalette::ButtonText)};
  }
  if (auto* field = qobject_cast<QLineEdit*>(&widget)) {
    field->setText(QStringLiteral("c:\\kro\\"));  // a path that fits; the field is never read
    return {field->rect().adjusted(3, 3, -3, -3), field->text(),
            field->palette().color(QPalette::Text)};
  }
  if (auto* list = qobject_cast<TFileListBox*>(&widget)) {
    const QRect item = list->visualItemRect(list->item(0));
    return {item.translated(list->viewport()->pos()), list->item(0)->text(),
            list->palette().color(QPalette::Text)};
  }
  auto& display = dynamic_cast<TNumLab&>(widget);
  return {QRect(QPoint(display.LeftSpace() + 3, 2),
                QPoint(display.LeftSpace() + display.LabelWidth() - 2, display.height() - 4)),
          display.ShownText(),
          display.isEnabled() ? display.ColorLabText() : QColor(128, 128, 128)};
}

// The family that draws a described one on this machine: itself where installed, else the
// look-alike that the program's font set-up ships or finds.
QString DrawingFamily(const QString& described) {
  if (described == "MS Sans Serif") {
    return "Tahoma";  // the bitmap face has three sizes and no bold
  }
  return QFontDatabase::families().contains(described) ? described : "Liberation Sans";
}

TEST_F(FormTest, EveryTextIsDrawnInItsDescribedFamilySizeAndWeight) {
  int checked = 0;
  for (const Control& expected : kControls) {
    if (!expected.font || !expected.visible) {
      continue;
    }
    SCOPED_TRACE(expected.name);
    QWidget& widget = *Named(expected.name);
    const DrawnText drawn = TextDrawnBy(widget);
    const Ink shown = InkOf(widget.grab().toImage(), drawn.area, drawn.ink.rgb());
    QFont font(DrawingFamily(expected.font->family));
    font.setPixelSize(expected.font->pixel_size);
    font.setBold(expected.font->bold);
    if (const auto* label = qobject_cast<QLabel*>(&widget)) {
      // A caption too wide for its room is drawn narrower, and only then smaller.
      const QFont fitted = label->font();
      EXPECT_LE(fitted.pixelSize(), font.pixelSize());
      EXPECT_TRUE(fitted.stretch() == QFont::AnyStretch || fitted.stretch() >= kNarrowestStretch)
          << fitted.stretch();
      font.setPixelSize(fitted.pixelSize());
      font.setStretch(fitted.stretch());
    }
    const Ink reference = ReferenceInk(drawn.text, font);
    font.setBold(!expected.font->bold);
    const Ink other_weight = ReferenceInk(drawn.text, font);

    EXPECT_NEAR(shown.box.height(), reference.box.height(), 1)
        << "height of " << drawn.text.toStdString();
    EXPECT_NEAR(shown.box.width(), reference.box.width(), 1)
        << "width of " << drawn.text.toStdString();
    EXPECT_LT(std::abs(shown.weight - reference.weight),
              std::abs(shown.weight - other_weight.weight))
        << "weight of " << drawn.text.toStdString() << ": " << shown.weight << " drawn, "
        << reference.weight << " described";
    ++checked;
  }
  EXPECT_EQ(checked, 33);
}

// The runs of consecutive positions for which `inked` holds, as (first, length).
QList<QPair<int, int>> Runs(int count, const std::function<bool(int)>& inked) {
  QList<QPair<int, int>> runs;
  for (int i = 0; i < count; ++i) {
    if (!inked(i)) {
      continue;
    }
    if (!runs.isEmpty() && runs.back().first + runs.back().second == i) {
      ++runs.back().second;
    } else {
      runs.append({i, 1});
    }
  }
  return runs;
}

TEST_F(FormTest, TheDrawnWindowMeasuresAsDescribed) {
  Ui::TForm1& form = rig_.form();

  // Slider thumbs: the columns of the thumb above the groove.
  for (QSlider* slider : {form.puff_duration, form.action_delayTb, form.feedback_delay1}) {
    const QImage image = slider->grab().toImage();
    // The groove crosses every column; the thumb's columns are inked over more rows.
    const QRgb background = image.pixel(0, 0);
    const auto thumb = Runs(image.width(), [&](int x) {
      int rows = 0;
      for (int y = 0; y < image.height(); ++y) {
        rows += Distance(image.pixel(x, y), background) > 24 ? 1 : 0;
      }
      return rows > 7;
    });
    ASSERT_EQ(thumb.size(), 1) << slider->objectName().toStdString();
    EXPECT_EQ(thumb[0].second, slider == form.feedback_delay1 ? 17 : 15)
        << slider->objectName().toStdString() << " thumb length";
  }

  // The log's title row: from its raised top edge to its grey bottom edge.
  {
    const QImage image = form.report->grab().toImage();
    const QRgb title = form.report->colorColumnHd().rgb();
    const auto rows = Runs(image.height(), [&](int y) { return image.pixel(2, y) == title; });
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(image.pixel(2, rows[0].first + rows[0].second), qRgb(128, 128, 128));
    EXPECT_EQ(rows[0].second + 2, 19) << "title row height";
  }

  // Player bars: outer edges and the shared middle edge, seen above the buttons' pictures.
  for (TMediaPlayer* bar : {form.play_bad, form.play_good}) {
    const QImage image = bar->grab().toImage();
    const int y = 3;
    const QRgb face = image.pixel(image.width() / 4, y);
    const auto edges =
        Runs(image.width(), [&](int x) { return Distance(image.pixel(x, y), face) > 40; });
    ASSERT_EQ(edges.size(), 3) << bar->objectName().toStdString();
    EXPECT_EQ(edges[2].first - edges[0].first + 1, 57) << "bar width";
    EXPECT_EQ(edges[1].first - edges[0].first, edges[2].first - edges[1].first)
        << "two buttons of equal width, sharing their middle edge";
  }

  // Radio groups: the caption sits on the frame's top line, the options apart from each other.
  for (TRadioGroup* group : {form.song_selection, form.precent_bad}) {
    SCOPED_TRACE(group->objectName().toStdString());
    const QImage image = group->grab().toImage();
    const QRgb background = image.pixel(4, image.height() / 2);
    const auto line =
        Runs(image.height(), [&](int y) { return Distance(image.pixel(4, y), background) > 24; });
    ASSERT_FALSE(line.isEmpty());
    const int caption_left = 10;
    const auto caption = Runs(image.height(), [&](int y) {
      for (int x = caption_left; x < caption_left + 20; ++x) {
        if (Distance(image.pixel(x, y), background) > 96) {
          return true;
        }
      }
      return false;
    });
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_LT(caption[0].first, line[0].first) << "caption starts above the frame line";
    EXPECT_GT(caption[0].first + caption[0].second, line[0].first) << "and ends below it";
    const QList<QAbstractButton*> items = group->findChildren<QAbstractButton*>();
    const auto marks = Runs(image.height(), [&](int y) {
      if (y < caption[0].first + caption[0].second || y >= image.height() - 3) {
        return false;
      }
      for (int x = items[0]->x(); x < items[0]->x() + 14; ++x) {
        if (Distance(image.pixel(x, y), background) > 24) {
          return true;
        }
      }
      return false;
    });
    EXPECT_EQ(marks.size(), items.size()) << "each option's button stands apart";
  }
}

// At each screen scale the test is registered with: the text of a caption that ends against a
// control keeps two pixels clear of the control's first inked column.
TEST_F(FormTest, EveryCaptionEndsClearOfTheControlItSitsAgainst) {
  QWidget& contents = *rig_.form().contents;
  const QImage image = contents.grab().toImage();
  const qreal scale = image.devicePixelRatio();
  const auto device = [scale](int logical) {
    return static_cast<int>(std::floor(logical * scale));
  };
  int pairs = 0;
  for (const QLabel* caption : contents.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    const QRect place = caption->geometry();
    for (const QWidget* control : contents.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QRect other = control->geometry();
      // Against: beginning inside the caption's place or a few pixels past it, on its rows.
      if (caption->isHidden() || control->isHidden() || other.left() <= place.left() ||
          other.left() > place.right() + 8 || other.top() > place.bottom() ||
          other.bottom() < place.top()) {
        continue;
      }
      SCOPED_TRACE(caption->text().toStdString() + " against " +
                   control->objectName().toStdString() + " at scale " + std::to_string(scale));
      ++pairs;
      const int top = device(std::max(place.top(), other.top()));
      const int bottom = device(std::min(place.bottom(), other.bottom()) + 1) - 1;
      const QRect span(QPoint(device(place.left()), top),
                       QPoint(device(other.right() + 1) - 1, bottom));
      const QRgb background =
          BackgroundOf(image, QRect(span.topLeft(), QPoint(device(place.right() + 1) - 1, bottom)));
      const int full =
          std::max(Distance(caption->palette().color(QPalette::WindowText).rgb(), background), 1);
      const auto inked = Runs(span.width(), [&](int x) {
        for (int y = top; y <= bottom; ++y) {
          if (Distance(image.pixel(span.left() + x, y), background) * 4 > full) {
            return true;
          }
        }
        return false;
      });
      // The control's ink is the first run that reaches its left edge; the text's, the run before.
      const int edge = device(other.left()) - span.left();
      const auto first = std::find_if(inked.cbegin(), inked.cend(), [edge](const auto& run) {
        return run.first + run.second > edge;
      });
      ASSERT_NE(first, inked.cbegin()) << "the caption drew no ink of its own";
      ASSERT_NE(first, inked.cend()) << "the control drew no ink";
      EXPECT_GE(first->first, edge - 1) << "the text runs into the control";
      const int gap = first->first - (std::prev(first)->first + std::prev(first)->second);
      EXPECT_GE(gap, 2 * scale) << "clear pixels between the text and the control";
    }
  }
  EXPECT_EQ(pairs, 7);
}

// The named control that holds the keyboard focus, through focus proxies and inner widgets.
QString FocusedControl(TForm1& window) {
  for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
       widget = widget->parentWidget()) {
    if (widget->parentWidget() == window.Controls().contents) {
      return widget->objectName();
    }
  }
  return {};
}

QStringList TabWalk(TForm1& window, QWidget& first, int steps) {
  first.setFocus(Qt::TabFocusReason);
  QStringList order{FocusedControl(window)};
  for (int i = 0; i < steps; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << FocusedControl(window);
  }
  return order;
}

TEST_F(FormTest, TabMovesThroughTheControlsInOrderSkippingHiddenAndDisabledOnes) {
  TForm1& window = rig_.window();
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  Ui::TForm1& form = rig_.form();

  // The focus is visible from the start, before any key was pressed.
  form.Start->setFocus(Qt::ActiveWindowFocusReason);
  const QImage focused = form.Start->grab().toImage();
  form.Stop->setFocus(Qt::ActiveWindowFocusReason);
  EXPECT_NE(form.Start->grab().toImage(), focused) << "Start shows a focus frame";

  // At start the players are disabled and the serial controls hidden.
  EXPECT_EQ(TabWalk(window, *form.Start, 17),
            QStringList({"Start", "Stop", "input0", "playbacks_folder0", "bad_song_list", "input1",
                         "playbacks_folder1", "good_song_list", "feedback_delay1", "puffer",
                         "puff_duration", "report", "action_delayTb", "precent_bad", "copy",
                         "clear", "song_selection", "Start"}));

  // Songs picked and serial mode on: the players and the serial controls join the order.
  rig_.ClickSong(*form.bad_song_list, "alarm.wav");
  rig_.ClickSong(*form.good_song_list, "calm.wav");
  WindowRig::PickItem(*form.song_selection, 1);
  ASSERT_EQ(form.song_selection->ItemIndex(), 1);
  EXPECT_EQ(TabWalk(window, *form.Start, 20), QStringList({"Start",
                                                           "Stop",
                                                           "input0",
                                                           "playbacks_folder0",
                                                           "bad_song_list",
                                                           "input1",
                                                           "playbacks_folder1",
                                                           "good_song_list",
                                                           "feedback_delay1",
                                                           "puffer",
                                                           "puff_duration",
                                                           "report",
                                                           "action_delayTb",
                                                           "play_bad",
                                                           "play_good",
                                                           "copy",
                                                           "clear",
                                                           "song_selection",
                                                           "serial_tb",
                                                           "start_with",
                                                           "Start"}));

  // Back to random with another share picked: the group keeps its place in the order.
  WindowRig::PickItem(*form.song_selection, 0);
  WindowRig::PickItem(*form.precent_bad, 4);
  EXPECT_EQ(TabWalk(window, *form.action_delayTb, 7),
            QStringList({"action_delayTb", "play_bad", "play_good", "precent_bad", "copy", "clear",
                         "song_selection", "Start"}));
  EXPECT_TRUE(rig_.exceptions.isEmpty()) << rig_.exceptions.join('\n').toStdString();
}

}  // namespace
}  // namespace orvane
