#pragma once

#include <QString>

class QWidget;

// The charts as a picture file. Each returns an empty text, or the reason the file could not be
// written, ready to be shown.
QString SaveAsPng(QWidget& charts, const QString& file);
QString SaveAsSvg(QWidget& charts, const QString& file, const QString& title);
// Text as a UTF-8 file, as it stands.
QString SaveText(const QString& text, const QString& file);
