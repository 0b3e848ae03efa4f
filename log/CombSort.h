#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

enum class SortDirection { kAscending, kDescending };

// Dense ranks of the keys: equal keys share a rank and a smaller key has a smaller rank, so the
// sort below can compare small integers instead of strings and still make the same exchanges.
std::vector<std::uint32_t> RankKeys(const std::vector<std::u16string>& keys);

// Comb sort of `order` (entries index `ranks`): gap shrinks by 1.3 with the fraction dropped
// until a gap-1 pass makes no exchange. Equal ranks are never exchanged directly; the sort is not
// stable.
void CombSort(std::vector<std::int32_t>& order, const std::vector<std::uint32_t>& ranks,
              SortDirection direction);

}  // namespace orvane
