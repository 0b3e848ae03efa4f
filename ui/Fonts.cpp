#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>

#include "ui/platform/FontFiles.h"

namespace orvane {

namespace {

constexpr WindowFontFamily kAllFamilies[] = {
    WindowFontFamily::kTahoma, WindowFontFamily::kMsSansSerif, WindowFontFamily::kArial};

QStringList LookAlikes(const QString& family) {
  if (family == FamilyName(WindowFontFamily::kTahoma)) {
    return {QStringLiteral("DejaVu Sans"), QStringLiteral("Verdana"),
            QStringLiteral("Liberation Sans")};
  }
  return {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
          QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
}

}  // namespace

QString FamilyName(WindowFontFamily family) {
  switch (family) {
    case WindowFontFamily::kTahoma:
      return QStringLiteral("Tahoma");
    case WindowFontFamily::kMsSansSerif:
      return QStringLiteral("MS Sans Serif");
    case WindowFontFamily::kArial:
      return QStringLiteral("Arial");
  }
  return {};
}

QString ChooseSubstitute(const QString& family, const QStringList& installed) {
  for (const QString& candidate : LookAlikes(family)) {
    if (candidate.compare(family, Qt::CaseInsensitive) != 0 &&
        installed.contains(candidate, Qt::CaseInsensitive)) {
      return candidate;
    }
  }
  return {};
}

QStringList SetUpWindowFonts() {
  QStringList rendering;
  for (const WindowFontFamily id : kAllFamilies) {
    const QString family = FamilyName(id);
    if (!QFontDatabase::hasFamily(family)) {
      for (const QString& file : platform::FontFilesOfFamily(family)) {
        QFontDatabase::addApplicationFont(file);
      }
    }
    if (!QFontDatabase::hasFamily(family)) {
      const QString substitute = ChooseSubstitute(family, QFontDatabase::families());
      if (!substitute.isEmpty()) {
        QFont::insertSubstitution(family, substitute);
      }
    }
    rendering.append(QFontInfo(WindowFont(id, 12)).family());
  }
  return rendering;
}

QFont WindowFont(WindowFontFamily family, int pixelSize, bool bold) {
  QFont font(FamilyName(family));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace orvane
