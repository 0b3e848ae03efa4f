#pragma once

#include <QWidget>

// Settings that the window's form stores as dynamic properties, because the form's own font and
// style elements cannot say them: font sizes in pixels and slider thumb lengths.
void ApplyPixelFontSizes(QWidget& root);
void ApplySliderThumbLengths(QWidget& root);
