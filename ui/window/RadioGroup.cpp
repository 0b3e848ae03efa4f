#include "ui/window/RadioGroup.h"

#include <QEvent>
#include <QPainter>
#include <QRadioButton>

#include <algorithm>

#include "log/view/TextHeight.h"

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {
  buttons_.setExclusive(true);
  // The form's tab order reaches a group only when it takes focus; its picked item stands in.
  setFocusPolicy(Qt::TabFocus);
  connect(&buttons_, &QButtonGroup::idClicked, this, [this](int id) {
    SetItemIndex(id);
    emit clicked();
  });
}

void TRadioGroup::SetItems(const QStringList& items) {
  for (QAbstractButton* button : buttons_.buttons()) {
    buttons_.removeButton(button);
    delete button;
  }
  items_ = items;
  for (int i = 0; i < items_.size(); ++i) {
    auto* button = new QRadioButton(items_[i], this);
    buttons_.addButton(button, i);
    button->show();
  }
  ArrangeButtons();
  SetItemIndex(index_);
}

void TRadioGroup::SetItemIndex(int index) {
  index_ = index;
  QAbstractButton* picked = buttons_.button(index);
  if (picked == nullptr) {
    return;
  }
  picked->setChecked(true);
  // The group is one tab stop, its picked item: the item takes the previous one's place in the
  // chain, and the others take no focus, so the form's tab order also lands on the picked item.
  picked->setFocusPolicy(Qt::StrongFocus);
  if (QWidget* previous = focusProxy(); previous != nullptr && previous != picked) {
    QWidget::setTabOrder(previous, picked);
  }
  for (QAbstractButton* button : buttons_.buttons()) {
    button->setFocusPolicy(button == picked ? Qt::StrongFocus : Qt::NoFocus);
  }
  setFocusProxy(picked);
}

void TRadioGroup::ArrangeButtons() {
  const QList<QAbstractButton*> buttons = buttons_.buttons();
  if (buttons.isEmpty()) {
    return;
  }
  // Below the caption's text height, less a margin of 5, each item gets an equal share; what is
  // left over is split above and below the column.
  const int caption = orvane::TextHeight(font());
  const int room = std::max(height() - caption - 5, 0);
  const int count = static_cast<int>(buttons.size());
  const int item_height = room / count;
  const int top = caption + 1 + (room % count) / 2;
  for (int i = 0; i < count; ++i) {
    buttons_.button(i)->setGeometry(8, top + i * item_height, std::max(width() - 10, 0),
                                    item_height);
  }
}

void TRadioGroup::paintEvent(QPaintEvent* /*event*/) {
  // The frame's top line runs through the middle of the caption, which interrupts it.
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int caption_height = orvane::TextHeight(font());
  const int line = caption_height / 2;
  const QRect frame = rect().adjusted(0, line, -1, -1);
  painter.setPen(QColor(128, 128, 128));  // an etched line: grey, with white beneath and right
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(QColor(255, 255, 255));
  painter.drawRect(frame.adjusted(1, 1, 0, 0));
  if (title().isEmpty()) {
    return;
  }
  const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 4, caption_height);
  painter.fillRect(caption, palette().color(backgroundRole()));
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic, title());
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  ArrangeButtons();
}

void TRadioGroup::changeEvent(QEvent* event) {
  QGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    ArrangeButtons();
  }
}
