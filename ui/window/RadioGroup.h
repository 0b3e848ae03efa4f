#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

// A framed caption over one column of option buttons, of which exactly one is picked. The
// picked item's index is the setting that other parts read.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
  Q_PROPERTY(QStringList items READ Items WRITE SetItems)
  Q_PROPERTY(int itemIndex READ ItemIndex WRITE SetItemIndex)

 public:
  explicit TRadioGroup(QWidget* parent = nullptr);

  QStringList Items() const { return items_; }
  void SetItems(const QStringList& items);

  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);

 signals:
  // The user picked an item, by mouse or keyboard.
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Shares the room below the caption evenly among the items, one above the other.
  void ArrangeButtons();

  QStringList items_;
  int index_ = -1;  // kept apart from the buttons: the form may give it before the items
  QButtonGroup buttons_;
};
