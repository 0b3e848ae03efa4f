#include "ui/window/FormDescription.h"

#include <QProxyStyle>
#include <QSlider>
#include <QStyleFactory>

namespace {

// Lets a slider's "thumbLength" property set its thumb's length in pixels.
class ThumbLengthStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_SliderLength && widget) {
      const QVariant length = widget->property("thumbLength");
      if (length.isValid()) {
        return length.toInt();
      }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

void ApplyPixelFontSizes(QWidget& root) {
  QList<QWidget*> widgets = root.findChildren<QWidget*>();
  widgets.prepend(&root);
  for (QWidget* widget : widgets) {
    const QVariant size = widget->property("fontPixelSize");
    if (size.isValid()) {
      QFont font = widget->font();
      font.setPixelSize(size.toInt());
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
