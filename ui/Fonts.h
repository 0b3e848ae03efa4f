#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace orvane {

// The families the window is described in.
enum class WindowFontFamily { kTahoma, kMsSansSerif, kArial };

QString FamilyName(WindowFontFamily family);

// The first of the family's look-alikes found among `usable`, or an empty text. For MS Sans Serif
// the look-alikes are narrow: the numeric displays turn to their overflow indicator when a number
// gets wider.
QString ChooseSubstitute(const QString& family, const QStringList& usable);

// Whether the font system can draw `family` crisply at any size, in regular and in bold: from
// outlines, which Qt thickens itself where the family has no bold face.
bool IsUsableFamily(const QString& family);

// Run once after the application object exists and before any window is built: loads the
// window's families from fonts shipped beside the system's where the platform has them, and picks
// a look-alike for each family that is missing or cannot be drawn at every size and weight.
// Returns, for each family, the family that now draws it.
QStringList SetUpWindowFonts();

// The family that draws the described `family`: itself when usable, else its look-alike.
QString RenderingFamily(const QString& family);

// The font of a control as the window describes it: family and character height in pixels.
QFont WindowFont(WindowFontFamily family, int pixelSize, bool bold = false);

// The narrowest stretch a text is drawn at before it is drawn smaller.
inline constexpr int kNarrowestStretch = QFont::SemiCondensed;

// `font`, sized in pixels, made to fit `text` into `width` pixels, advance and ink alike: at its
// own size narrowed no further than needed, down to kNarrowestStretch; only where that is not
// enough a smaller size, narrowed as that size needs. A text that fits keeps the font as it is.
QFont FontFitting(const QFont& font, const QString& text, qreal width);

}  // namespace orvane
