#include "ui/window/RadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 2, 4, 2);
  layout->setSpacing(0);
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
    layout()->addWidget(button);
  }
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
