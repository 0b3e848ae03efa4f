#pragma once

#include <QRect>
#include <QWidget>
#include <memory>

#include "ui/RepeatTimer.h"

// A narrow pair of auto-repeating push buttons: the upper half steps up, the lower half down.
// Holding a half clicks once after 400 ms, then every 100 ms, and once more on release over it.
// Takes no keyboard focus; while disabled it ignores the mouse.
class TCSpinButton : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMinimumWidth = 15;
  static constexpr int kFirstRepeatMs = 400;
  static constexpr int kRepeatMs = 100;

  explicit TCSpinButton(QWidget* parent = nullptr);
  TCSpinButton(std::unique_ptr<orvane::RepeatTimer> timer, QWidget* parent = nullptr);
  ~TCSpinButton() override;

  // The upper half is half the height, rounded down; the lower half starts on the upper half's
  // last row and lies on top of it there.
  QRect UpperHalf() const;
  QRect LowerHalf() const;

 signals:
  void upClick();
  void downClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  enum class Half { kNone, kUpper, kLower };

  Half HalfAt(QPoint point) const;
  QRect RectOf(Half half) const;
  void OnRepeat();
  void Click(Half half);
  void Cancel();
  void PaintHalf(QPainter& painter, Half half) const;

  std::unique_ptr<orvane::RepeatTimer> timer_;
  Half held_ = Half::kNone;
  bool pointerOverHeld_ = false;
};
