#pragma once

#include <QColor>

#include "control/Colour.h"

inline QColor ToQColor(orvane::Colour colour) {
  return QColor(orvane::RedOf(colour), orvane::GreenOf(colour), orvane::BlueOf(colour));
}
