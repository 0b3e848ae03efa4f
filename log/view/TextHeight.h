#pragma once

#include <QFont>

namespace orvane {

// A font's text height as the window's layout counts it: the font's Windows ascent plus descent,
// each rounded to pixels. Fonts that ask for their typographic line metrics report less to Qt
// (Tahoma at 11 pixels: 11 instead of 13). The font system's height where the font lacks them.
int TextHeight(const QFont& font);

}  // namespace orvane
