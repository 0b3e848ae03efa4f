#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

enum class Glyph { kPlay, kStop };

// A media button's symbol, scaled to the button and centred in it.
void DrawButtonGlyph(QPainter& painter, Glyph glyph, const QRect& button, const QColor& ink);
