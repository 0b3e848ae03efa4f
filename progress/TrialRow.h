#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "control/SongKind.h"
#include "progress/Moment.h"

namespace orvane {

// What the progress charts take from one logged row of a run's trial table.
struct TrialRow {
  std::optional<std::int64_t> trial;  // the run's own number of the row
  SongKind kind = kNeutralSong;       // kNeutralSong or kBadSong
  std::string song_file;
  bool escaped = false;
  // An escape's latency: from the song's start to the bird leaving the perch, for a row logged as
  // an escape whose bird had not left and come back; empty otherwise or when not known.
  std::optional<std::int32_t> latency_ms;
  // The first leave after the song's start, for every row whose bird left before the decision.
  std::optional<std::int32_t> left_ms;
  bool returned = false;  // the bird left and was back before the decision
  // The same latency on the monotonic clock rather than in ticks.
  std::optional<std::int32_t> latency_clock_ms;
  std::int32_t song_decision = 1;  // 1 for a song's first decision, 2, 3 ... for those after it
  bool after_puff = false;         // a puff of the same song was switched on before this decision
  // The puff's delay and duration at the decision, the odds of the draw that picked the song.
  std::optional<double> puff_delay_s;
  std::optional<double> puff_duration_s;
  std::optional<double> odds;
  std::optional<Moment> logged_at;
  // Since the run began, on the monotonic clock.
  std::optional<double> run_seconds;
};

// The bird left after the song's start and was back: told by the table, or, in one that does not
// tell it, by a bird on the perch at the decision that had left.
inline bool CameBack(const TrialRow& row) {
  return row.returned || (!row.escaped && row.left_ms);
}

// When a run began, from its first row: the moment it was logged less the seconds the run had
// lasted; nothing when the row does not say both.
inline std::optional<Moment> RunStartOf(const TrialRow& first) {
  if (!first.logged_at || !first.run_seconds) {
    return std::nullopt;
  }
  return MomentAfter(*first.logged_at, -*first.run_seconds);
}

}  // namespace orvane
