#pragma once

#include <QString>

// The modal box of a refused Start: error icon, title "Error", one OK button, its top-left corner
// at screen position 100, 100.
void ShowStartErrorBox(const QString& text);
