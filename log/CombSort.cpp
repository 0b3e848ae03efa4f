#include "log/CombSort.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace orvane {

std::vector<std::uint32_t> RankKeys(const std::vector<std::u16string>& keys) {
  std::vector<std::uint32_t> by_key(keys.size());
  std::iota(by_key.begin(), by_key.end(), 0u);
  std::sort(by_key.begin(), by_key.end(),
            [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
  std::vector<std::uint32_t> ranks(keys.size());
  std::uint32_t rank = 0;
  for (std::size_t i = 0; i < by_key.size(); ++i) {
    if (i > 0 && keys[by_key[i - 1]] != keys[by_key[i]]) {
      ++rank;
    }
    ranks[by_key[i]] = rank;
  }
  return ranks;
}

void CombSort(std::vector<std::int32_t>& order, const std::vector<std::uint32_t>& ranks,
              SortDirection direction) {
  const std::size_t n = order.size();
  if (n < 2) {
    return;
  }
  const bool descending = direction == SortDirection::kDescending;
  auto out_of_order = [&](std::int32_t first, std::int32_t second) {
    return descending ? ranks[first] < ranks[second] : ranks[first] > ranks[second];
  };
  std::size_t gap = n;
  bool exchanged = true;
  while (gap > 1 || exchanged) {
    // Integer arithmetic gives the exact truncation of gap / 1.3 on every compiler.
    gap = std::max<std::size_t>(1, gap * 10 / 13);
    exchanged = false;
    for (std::size_t i = 0; i + gap < n; ++i) {
      if (out_of_order(order[i], order[i + gap])) {
        std::swap(order[i], order[i + gap]);
        exchanged = true;
      }
    }
  }
}

}  // namespace orvane
