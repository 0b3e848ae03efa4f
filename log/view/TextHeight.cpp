#include "log/view/TextHeight.h"

#include <QByteArray>
#include <QFontMetrics>
#include <QRawFont>

namespace orvane {

int TextHeight(const QFont& font) {
  const QRawFont raw = QRawFont::fromFont(font);
  const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
  // usWinAscent and usWinDescent: unsigned 16-bit, big-endian, at bytes 74 and 76.
  if (os2.size() < 78 || raw.unitsPerEm() <= 0) {
    return QFontMetrics(font).height();
  }
  const auto field = [&os2](int at) {
    return (static_cast<unsigned char>(os2[at]) << 8) | static_cast<unsigned char>(os2[at + 1]);
  };
  const double pixels_per_unit = raw.pixelSize() / raw.unitsPerEm();
  return qRound(field(74) * pixels_per_unit) + qRound(field(76) * pixels_per_unit);
}

}  // namespace orvane
