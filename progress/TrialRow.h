#pragma once

#include <cstdint>
#include <optional>

#include "control/SongKind.h"
#include "progress/Moment.h"

namespace orvane {

// What the progress charts take from one logged row of a run's trial table.
struct TrialRow {
  SongKind kind = kNeutralSong;  // kNeutralSong or kBadSong
  bool escaped = false;
  // From the song's start to the bird leaving the perch; empty when it stayed until the decision
  // or when the time is not known.
  std::optional<std::int32_t> latency_ms;
  std::optional<Moment> logged_at;
  // Since the run began, on the monotonic clock.
  std::optional<double> run_seconds;
};

// When a run began, from its first row: the moment it was logged less the seconds the run had
// lasted; nothing when the row does not say both.
inline std::optional<Moment> RunStartOf(const TrialRow& first) {
  if (!first.logged_at || !first.run_seconds) {
    return std::nullopt;
  }
  return MomentAfter(*first.logged_at, -*first.run_seconds);
}

}  // namespace orvane
