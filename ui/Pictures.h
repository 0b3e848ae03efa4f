#pragma once

#include <QIcon>
#include <QPainter>
#include <QSize>

namespace orvane {

// The program's own pictures, drawn in code so they stay sharp at any screen scale.

// The window icon: a small bird on a perch.
QIcon WindowIcon();

// The window icon's picture painted into the square (0, 0, side, side) of `painter`'s device; the
// desktop's icon files are made from it too, so menus show what the window shows.
void PaintWindowIcon(QPainter& painter, qreal side);

// The glyph of the folder buttons, at its size for a 27 x 21 button.
QIcon OpenFolderIcon();
QSize OpenFolderIconSize();

// The manual puff button's picture, at its size for an 82 x 67 button: a figure blowing a puff
// of air.
QIcon PufferIcon();
QSize PufferIconSize();

}  // namespace orvane
