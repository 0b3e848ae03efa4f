#include "ui/window/FormDescription.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QProxyStyle>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOption>
#include <QtMath>

#include <algorithm>

#include "ui/Fonts.h"
#include "ui/window/CaptionRoom.h"

namespace {

// Lets a slider's "thumbLength" property set its thumb's length in pixels.
class ThumbLengthStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    // Some styles ask for the length with the slider's option only, not the slider itself.
    const QObject* slider = widget != nullptr ? widget : (option ? option->styleObject : nullptr);
    if (metric == PM_SliderLength && slider != nullptr) {
      const QVariant length = slider->property("thumbLength");
      if (length.isValid()) {
        // Fusion draws its thumb one pixel inside the thumb's rectangle on either side.
        const bool inset =
            baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
        return length.toInt() + (inset ? 2 : 0);
      }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

// A caption is never cut, nor does it touch the control it ends against. A right-aligned caption's
// text, ink included, ends at its room's right edge.
void FitCaption(QLabel& caption, QFont& font) {
  const QRect room = CaptionRoom(caption);
  font = orvane::FontFitting(font, caption.text(), room.width());
  const QFontMetricsF metrics(font);
  const qreal ink_past_advance =
      metrics.tightBoundingRect(caption.text()).right() - metrics.horizontalAdvance(caption.text());
  caption.setContentsMargins(
      0, 0, caption.width() - room.right() - 1 + std::max(qCeil(ink_past_advance), 0), 0);
}

}  // namespace

void ApplyDescribedFonts(QWidget& root) {
  QList<QWidget*> widgets = root.findChildren<QWidget*>();
  widgets.prepend(&root);
  for (QWidget* widget : widgets) {
    const QVariant size = widget->property("fontPixelSize");
    if (size.isValid()) {
      QFont font = widget->font();
      font.setFamily(orvane::RenderingFamily(font.family()));
      font.setPixelSize(size.toInt());
      if (auto* label = qobject_cast<QLabel*>(widget)) {
        FitCaption(*label, font);
      }
      widget->setFont(font);
    }
  }
}

void ApplySliderThumbLengths(QWidget& root) {
  for (QSlider* slider : root.findChildren<QSlider*>()) {
    if (slider->property("thumbLength").isValid()) {
      auto* style = new ThumbLengthStyle(QStyleFactory::create(slider->style()->name()));
      style->setParent(slider);
      slider->setStyle(style);
    }
  }
}
