#include "log/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

namespace orvane {

void QtClipboard::SetText(std::string_view utf8) {
  if (QGuiApplication::instance() == nullptr) {
    throw ClipboardError("there is no running application");
  }
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    throw ClipboardError("the platform has no clipboard");
  }
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  clipboard->setText(text, QClipboard::Clipboard);
  // Qt only warns when the system refuses the data, so read it back to know.
  if (clipboard->text(QClipboard::Clipboard) != text) {
    throw ClipboardError("the system clipboard did not accept the text");
  }
}

}  // namespace orvane
