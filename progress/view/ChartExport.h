#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// The charts as a PNG picture at twice their size on the screen, or as an SVG drawing; empty when
// it could not be made.
QByteArray PngOf(QWidget& charts);
QByteArray SvgOf(QWidget& charts, const QString& title);

// Writes the bytes as the file, whole or not at all; callable from any thread. Returns an empty
// text, or the reason the file could not be written, ready to be shown. Empty bytes are a picture
// that could not be made.
QString SaveBytes(const QByteArray& bytes, const QString& file);
