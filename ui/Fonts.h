#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace orvane {

// The families the window is described in.
enum class WindowFontFamily { kTahoma, kMsSansSerif, kArial };

QString FamilyName(WindowFontFamily family);

// The first of the family's look-alikes found among `installed`, or an empty text. Narrow ones
// come first: the numeric displays turn to their overflow indicator when a number gets wider.
QString ChooseSubstitute(const QString& family, const QStringList& installed);

// Run once after the application object exists and before any window is built: makes every
// window family render, from fonts shipped beside the system's where the platform has them,
// otherwise through a look-alike. Returns, for each family, the family that now renders it.
QStringList SetUpWindowFonts();

// The font of a control as the window describes it: family and character height in pixels.
QFont WindowFont(WindowFontFamily family, int pixelSize, bool bold = false);

}  // namespace orvane
