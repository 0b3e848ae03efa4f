#include "log/view/LayoutRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orvane {

TitleHit HitTitle(const std::vector<int>& widths, int x) {
  int left = 0;
  int nearest_column = 0;
  int nearest_distance = kBorderGrip + 1;
  TitleHit inside;
  for (int column = 1; column <= static_cast<int>(widths.size()); ++column) {
    const int right = left + widths[static_cast<std::size_t>(column - 1)];
    const int distance = std::abs(x - right);
    if (distance < nearest_distance) {
      nearest_distance = distance;
      nearest_column = column;
    }
    if (x >= left && x < right && x - left > kBorderGrip && right - x > kBorderGrip) {
      inside = TitleHit{TitleHit::Kind::kSort, column};
    }
    left = right;
  }
  if (nearest_column != 0) {
    return TitleHit{TitleHit::Kind::kBorder, nearest_column};
  }
  return inside;
}

int FittedColumnWidth(int widest_cell, int title_width, int title_extra) {
  constexpr int kMargins = 9;
  constexpr int kNarrowest = 4;
  return std::max(std::max(widest_cell, title_width + title_extra) + kMargins, kNarrowest);
}

int ElidedLength(int characters, int text_width, int available, int reserve) {
  if (text_width <= 0) {
    return characters;
  }
  const double kept = static_cast<double>(characters) * available / text_width - reserve;
  return std::max(1, static_cast<int>(std::lround(kept)));
}

}  // namespace orvane
