#include "ui/window/StartErrorBox.h"

#include <QEvent>
#include <QMessageBox>
#include <QWindow>

namespace {

// Moves a window so that its frame's corner, not its contents' corner, lies at `corner`. Window
// managers place a new window by its contents and frame it afterwards, so the frame's size is
// known only once the window is first exposed.
class FrameCornerAt final : public QObject {
 public:
  FrameCornerAt(QWidget& window, QPoint corner)
      : QObject(&window), window_(window), corner_(corner) {
    window_.move(corner_);  // also keeps the box from being centred when shown
    window_.winId();
    window_.windowHandle()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && window_.isVisible()) {
      watched->removeEventFilter(this);
      if (window_.frameGeometry().topLeft() != corner_) {
        window_.move(corner_);
      }
    }
    return false;
  }

 private:
  QWidget& window_;
  QPoint corner_;
};

}  // namespace

void ShowStartErrorBox(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
  new FrameCornerAt(box, QPoint(100, 100));
  box.exec();
}
