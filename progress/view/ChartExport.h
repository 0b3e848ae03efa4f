#pragma once

#include <QByteArray>
#include <QString>

// Writes the bytes as the file, whole or not at all; callable from any thread. Returns an empty
// text, or the reason the file could not be written, ready to be shown. Empty bytes are a picture
// that could not be made.
QString SaveBytes(const QByteArray& bytes, const QString& file);
