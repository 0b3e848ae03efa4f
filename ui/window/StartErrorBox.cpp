#include "ui/window/StartErrorBox.h"

#include <QMessageBox>

void ShowStartErrorBox(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
  box.move(100, 100);  // a moved dialog is not centred again when shown
  box.exec();
}
