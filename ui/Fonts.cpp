#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>

#include <algorithm>

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
  if (family == FamilyName(WindowFontFamily::kMsSansSerif)) {
    // Tahoma was drawn after MS Sans Serif and keeps its metrics; both come with the same fonts.
    return {QStringLiteral("Tahoma"), QStringLiteral("Microsoft Sans Serif"),
            QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
            QStringLiteral("DejaVu Sans")};
  }
  return {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
          QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
}

// Described family -> the family that draws it; filled by SetUpWindowFonts.
QHash<QString, QString>& Renderings() {
  static QHash<QString, QString> renderings;
  return renderings;
}

// The font system's own list: hasFamily() would also accept a family the system merely
// aliases to another one.
bool IsInstalled(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// How wide `text` is drawn: from the first to the last column that its advance or its ink reaches.
qreal DrawnWidth(const QFont& font, const QString& text) {
  const QFontMetricsF metrics(font);
  const QRectF ink = metrics.tightBoundingRect(text);
  return std::max(metrics.horizontalAdvance(text), ink.right()) - std::min(0.0, ink.left());
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

QString ChooseSubstitute(const QString& family, const QStringList& usable) {
  for (const QString& candidate : LookAlikes(family)) {
    if (candidate.compare(family, Qt::CaseInsensitive) != 0 &&
        usable.contains(candidate, Qt::CaseInsensitive)) {
      return candidate;
    }
  }
  return {};
}

bool IsUsableFamily(const QString& family) {
  // Qt thickens the outlines of a scalable family that has no bold face of its own.
  return IsInstalled(family) && QFontDatabase::isSmoothlyScalable(family);
}

QStringList SetUpWindowFonts() {
  // Every family's files first: one family's look-alike may be another window family.
  for (const WindowFontFamily id : kAllFamilies) {
    const QString family = FamilyName(id);
    if (!IsUsableFamily(family)) {
      for (const QString& file : platform::FontFilesOfFamily(family)) {
        QFontDatabase::addApplicationFont(file);
      }
    }
  }
  QStringList usable;
  for (const QString& family : QFontDatabase::families()) {
    if (IsUsableFamily(family)) {
      usable.append(family);
    }
  }
  QStringList rendering;
  for (const WindowFontFamily id : kAllFamilies) {
    const QString family = FamilyName(id);
    QString drawn_by = family;
    if (!IsUsableFamily(family)) {
      const QString substitute = ChooseSubstitute(family, usable);
      if (!substitute.isEmpty()) {
        drawn_by = substitute;
      }
    }
    Renderings().insert(family, drawn_by);
    if (drawn_by != family && !IsInstalled(family)) {
      QFont::insertSubstitution(family, drawn_by);  // for fonts made by name outside the form
    }
    rendering.append(drawn_by);
  }
  return rendering;
}

QString RenderingFamily(const QString& family) {
  return Renderings().value(family, family);
}

QFont WindowFont(WindowFontFamily family, int pixelSize, bool bold) {
  QFont font(RenderingFamily(FamilyName(family)));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QFont FontFitting(const QFont& font, const QString& text, qreal width) {
  if (DrawnWidth(font, text) <= width) {
    return font;
  }
  QFont fitted = font;
  for (int size = font.pixelSize(); size > 1; --size) {
    fitted.setPixelSize(size);
    fitted.setStretch(kNarrowestStretch);
    if (DrawnWidth(fitted, text) > width) {
      continue;
    }
    // Halving, since each stretch tried loads a face of its own: `fits` fits, `too_wide` not.
    int fits = kNarrowestStretch;
    int too_wide = QFont::Unstretched + 1;
    while (too_wide - fits > 1) {
      const int middle = (fits + too_wide) / 2;
      fitted.setStretch(middle);
      (DrawnWidth(fitted, text) <= width ? fits : too_wide) = middle;
    }
    fitted.setStretch(fits);
    return fitted;
  }
  fitted.setPixelSize(1);
  return fitted;
}

}  // namespace orvane
