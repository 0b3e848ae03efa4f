#pragma once

#include <QLabel>
#include <QRect>

// Pixels kept between a caption's text and a control that it ends against: two clear ones, and
// one that rounding to a scaled screen's pixels may take.
inline constexpr int kCaptionClearance = 3;

// Where a caption's text may be drawn, in the caption's own coordinates: its place, ending
// kCaptionClearance pixels before any sibling control that begins inside it or just past it on
// the same rows.
QRect CaptionRoom(const QLabel& caption);
