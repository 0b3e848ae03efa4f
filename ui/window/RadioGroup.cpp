#include "ui/window/RadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 2, 4, 2);
  layout->setSpacing(0);
  buttons_.setExclusive(true);
  connect(&buttons_, &QButtonGroup::idClicked, this, [this](int id) {
    index_ = id;
    setFocusProxy(buttons_.button(id));
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
  if (QAbstractButton* button = buttons_.button(index)) {
    button->setChecked(true);
    setFocusProxy(button);  // the group's place in the tab order is its picked item
  }
}
