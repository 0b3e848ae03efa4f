#pragma once

// Pure rules of the log table's layout, kept apart from the widget so that they can be tested.

#include <vector>

namespace orvane {

// Where a press on the title row falls. A press within this many pixels of a title's border
// resizes or fits a column instead of sorting.
inline constexpr int kBorderGrip = 4;

struct TitleHit {
  enum class Kind { kNothing, kSort, kBorder };
  Kind kind = Kind::kNothing;
  int column = 0;  // 1-based: the sorted column, or the column left of the border
};

// `x` counts from the left edge of the first title; `widths` are the column widths in pixels.
TitleHit HitTitle(const std::vector<int>& widths, int x);

// The width that fits a column: its widest text (cells and title, the title counting
// `title_extra` more), plus the cell margins, but at least 4 pixels.
int FittedColumnWidth(int widest_cell, int title_width, int title_extra);

// The characters kept before "..." when a text of `characters` characters and `text_width`
// pixels must fit `available` pixels; `reserve` characters make room for the dots.
int ElidedLength(int characters, int text_width, int available, int reserve);

}  // namespace orvane
