#pragma once

#include <QWidget>

// Settings that the window's form stores as dynamic properties, because the form's own font and
// style elements cannot say them: font sizes in pixels and slider thumb lengths. A described
// family the machine cannot draw at every size and weight is drawn by its look-alike. A caption
// too wide for its room (CaptionRoom) is drawn narrower, and only then smaller.
void ApplyDescribedFonts(QWidget& root);
void ApplySliderThumbLengths(QWidget& root);
