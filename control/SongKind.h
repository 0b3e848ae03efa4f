#pragma once

#include <cstdint>

namespace orvane {

// Which song a trial plays; 0 means that no trial starts on this tick.
using SongKind = std::int32_t;

inline constexpr SongKind kNoTrial = 0;
inline constexpr SongKind kNeutralSong = 1;  // play_good, good_song_list, logged "good"
inline constexpr SongKind kBadSong = 2;      // play_bad, bad_song_list, logged "bad"

}  // namespace orvane
