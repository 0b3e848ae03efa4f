#include "playback/view/FileListBox.h"

#include <QFont>
#include <QMouseEvent>
#include <QPalette>

#include "playback/view/ListColour.h"

namespace {
constexpr int kItemHeight = 13;
}

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent), list_(reader_) {
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setIconSize(QSize(0, 0));
  QPalette colours = palette();
  colours.setColor(QPalette::Text, Qt::blue);
  colours.setColor(QPalette::Base, Qt::white);
  setPalette(colours);
  connect(this, &QListWidget::itemSelectionChanged, this, &TFileListBox::TakeSelection);
}

void TFileListBox::ApplyFilePath(const std::string& path) {
  list_.ApplyFilePath(path);
  Refresh();
}

std::optional<std::string> TFileListBox::ChooseFolder(orvane::FileDialog& dialog) {
  std::optional<std::string> field = orvane::ChooseSongFolder(dialog, list_);
  if (field) {
    Refresh();
  }
  return field;
}

void TFileListBox::Refresh() {
  refreshing_ = true;
  clear();
  for (const std::string& name : list_.Entries()) {
    auto* item = new QListWidgetItem(QString::fromStdString(name), this);
    item->setSizeHint(QSize(0, kItemHeight));
  }
  if (const auto selected = list_.Selection()) {
    setCurrentRow(static_cast<int>(*selected));
  }
  refreshing_ = false;
}

void TFileListBox::SetColour(orvane::Colour colour) {
  QPalette colours = palette();
  colours.setColor(QPalette::Base, ToQColor(colour));
  setPalette(colours);
}

void TFileListBox::TakeSelection() {
  if (refreshing_) {
    return;
  }
  const QList<QListWidgetItem*> picked = selectedItems();
  list_.Select(picked.isEmpty()
                   ? std::nullopt
                   : std::optional<std::size_t>(static_cast<std::size_t>(row(picked.front()))));
  emit selectionChangedByUser();
}

void TFileListBox::mousePressEvent(QMouseEvent* event) {
  const QListWidgetItem* pressed = itemAt(event->position().toPoint());
  const bool was_picked = pressed != nullptr && pressed->isSelected();
  QListWidget::mousePressEvent(event);
  // A press that changes the selection has told of it already.
  if (was_picked && event->button() == Qt::LeftButton && pressed->isSelected()) {
    emit selectionChangedByUser();
  }
}
