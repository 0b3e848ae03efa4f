#include "ui/window/FormDescription.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProxyStyle>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOption>

#include "ui/Fonts.h"

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
      // A caption is never cut: one wider than its place at its size is drawn a little smaller.
      if (const auto* label = qobject_cast<QLabel*>(widget)) {
        while (font.pixelSize() > 1 &&
               QFontMetrics(font).horizontalAdvance(label->text()) > label->width()) {
          font.setPixelSize(font.pixelSize() - 1);
        }
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
