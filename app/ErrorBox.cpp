#include "app/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

namespace orvane {

void ShowModalErrorBox(const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace orvane
