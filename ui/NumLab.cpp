#include "ui/NumLab.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxPrecision = 15;
const QColor kFrameBlack(0, 0, 0);
const QColor kFrameGrey(128, 128, 128);
const QColor kFrameWhite(255, 255, 255);
const QColor kDisabledText(128, 128, 128);

// One-pixel lines with both ends included, so the frame lands on exact pixels at any pen setting.
void HorizontalLine(QPainter& painter, int x0, int x1, int y, const QColor& colour) {
  painter.fillRect(QRect(QPoint(std::min(x0, x1), y), QPoint(std::max(x0, x1), y)), colour);
}

void VerticalLine(QPainter& painter, int x, int y0, int y1, const QColor& colour) {
  painter.fillRect(QRect(QPoint(x, std::min(y0, y1)), QPoint(x, std::max(y0, y1))), colour);
}

}  // namespace

TNumLab::TNumLab(QWidget* parent) : QWidget(parent) {
  const QColor buttonFace = palette().color(QPalette::Active, QPalette::Button);
  colorLabBakG_ = buttonFace;
  colorOutBakG_ = buttonFace;
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(160, 28);
}

template <typename T>
void TNumLab::Assign(T& field, const T& value) {
  if (field == value) {
    return;
  }
  field = value;
  repaint();
}

void TNumLab::SetLabValue(double value) {
  // A NaN compares unequal to everything, the stored value included, so test it first.
  if (std::isnan(value)) {
    return;
  }
  Assign(value_, value);
}

void TNumLab::SetPrecision(int precision) {
  if (precision < 0) {
    return;
  }
  Assign(format_.precision, std::min(precision, kMaxPrecision));
}

void TNumLab::SetLabelWidth(int width) {
  Assign(labelWidth_, width);
}

void TNumLab::SetLeftSpace(int space) {
  if (space < 0) {
    return;
  }
  Assign(leftSpace_, std::min(space, width()));
}

void TNumLab::SetComma(bool comma) {
  Assign(format_.comma, comma);
}
void TNumLab::SetForcePlusSign(bool force) {
  Assign(format_.forcePlusSign, force);
}
void TNumLab::SetColorLabBakG(const QColor& colour) {
  Assign(colorLabBakG_, colour);
}
void TNumLab::SetColorLabText(const QColor& colour) {
  Assign(colorLabText_, colour);
}
void TNumLab::SetColorOutBakG(const QColor& colour) {
  Assign(colorOutBakG_, colour);
}
void TNumLab::SetColorOutText(const QColor& colour) {
  Assign(colorOutText_, colour);
}
void TNumLab::SetOverflowIndicator(const QString& indicator) {
  Assign(overflowIndicator_, indicator);
}
void TNumLab::SetEmpty(bool empty) {
  Assign(empty_, empty);
}
void TNumLab::SetAlignment(Qt::Alignment alignment) {
  Assign(alignment_, alignment);
}
void TNumLab::SetLeftText(const QString& text) {
  Assign(leftText_, text);
}
void TNumLab::SetRightText(const QString& text) {
  Assign(rightText_, text);
}

QString TNumLab::ShownText() const {
  if (empty_) {
    return {};
  }
  const QString text = QString::fromStdString(orvane::FixedPointText(value_, format_));
  if (fontMetrics().horizontalAdvance(text) > labelWidth_ - 6) {
    return overflowIndicator_;
  }
  return text;
}

QColor TNumLab::ValueTextColour() const {
  return isEnabled() ? colorLabText_ : kDisabledText;
}

void TNumLab::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) {
    repaint();
  }
}

void TNumLab::paintEvent(QPaintEvent* /*event*/) {
  if (width() <= 0 || height() <= 0) {
    return;
  }
  // Drawn whole off screen and copied in one go, so a counting label never flickers.
  const qreal ratio = devicePixelRatioF();
  QPixmap picture(size() * ratio);
  picture.setDevicePixelRatio(ratio);
  {
    QPainter painter(&picture);
    Paint(painter);
  }
  QPainter(this).drawPixmap(0, 0, picture);
}

void TNumLab::Paint(QPainter& painter) const {
  const int h = height();
  const int left = leftSpace_;
  const int right = leftSpace_ + labelWidth_ + 2;  // exclusive right edge of the box

  painter.fillRect(rect(), colorOutBakG_);
  painter.setFont(font());

  painter.setPen(colorOutText_);
  if (!leftText_.isEmpty()) {
    painter.drawText(QRect(0, 0, left, h), Qt::AlignRight | Qt::AlignVCenter, leftText_);
  }
  if (!rightText_.isEmpty()) {
    painter.drawText(QRect(right + 1, 0, width() - right - 1, h), Qt::AlignLeft | Qt::AlignVCenter,
                     rightText_);
  }

  // The box, outlined in grey, then black inside its top-left and white outside its
  // bottom-right, so it looks sunk into the window.
  const QRect box(QPoint(left, 0), QPoint(right - 1, h - 2));
  painter.fillRect(box, colorLabBakG_);
  HorizontalLine(painter, box.left(), box.right(), box.top(), kFrameGrey);
  HorizontalLine(painter, box.left(), box.right(), box.bottom(), kFrameGrey);
  VerticalLine(painter, box.left(), box.top(), box.bottom(), kFrameGrey);
  VerticalLine(painter, box.right(), box.top(), box.bottom(), kFrameGrey);
  VerticalLine(painter, left + 1, h - 3, 1, kFrameBlack);
  HorizontalLine(painter, left + 1, right - 2, 1, kFrameBlack);
  HorizontalLine(painter, left + 1, right, h - 1, kFrameWhite);
  VerticalLine(painter, right, h - 1, 1, kFrameWhite);

  const QString text = ShownText();
  if (text.isEmpty()) {
    return;
  }
  const QFontMetrics metrics = fontMetrics();
  const int textWidth = metrics.horizontalAdvance(text);
  int x = left + 2 + (labelWidth_ - textWidth) / 2;
  if (alignment_ & Qt::AlignLeft) {
    x = left + 4;
  } else if (alignment_ & Qt::AlignRight) {
    x = left + labelWidth_ - 2 - textWidth;
  }
  const int top = (h - metrics.height()) / 2;
  painter.setClipRect(QRect(QPoint(left + 3, 2), QPoint(left + labelWidth_ - 2, h - 4)));
  painter.setPen(ValueTextColour());
  painter.drawText(QPoint(x, top + metrics.ascent()), text);
}
