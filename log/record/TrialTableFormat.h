#pragma once

#include <array>
#include <string_view>

namespace orvane::trial_table {

// The trial table's columns, in their order in the header line: one tab-separated line per logged
// row of a run. The writer writes all of them; a reader finds the columns it needs by name, so
// columns added later never break it.
inline constexpr std::string_view kTrial = "trial";  // 1, 2, ... in logging order
// Local date and time of the decision, ISO 8601 with milliseconds and UTC offset.
inline constexpr std::string_view kLoggedAt = "logged_at";
// Seconds since the run began on the monotonic clock, three decimals.
inline constexpr std::string_view kRunSeconds = "run_seconds";
inline constexpr std::string_view kSongKind = "song_kind";  // "good" or "bad", as logged
inline constexpr std::string_view kSongFile = "song_file";
inline constexpr std::string_view kSongFolder = "song_folder";
// Controller ticks counted from 1 at the first tick of the program's run.
inline constexpr std::string_view kStartTick = "start_tick";
inline constexpr std::string_view kDecisionTick = "decision_tick";
inline constexpr std::string_view kOnPerch = "on_perch";  // 1 or 0 at the decision
inline constexpr std::string_view kEscaped = "escaped";   // "Yes" or "No", as logged
// First tick after the song's start with the perch empty; empty when the bird stayed on the perch
// until the decision.
inline constexpr std::string_view kLeftTick = "left_tick";
// The escape latency, (left_tick - start_tick) x 100, only on a row logged as an escape whose bird
// had not left and come back before the decision.
inline constexpr std::string_view kLatencyMs = "latency_ms";
inline constexpr std::string_view kPuffOn = "puff_on";      // 1 when this decision opened the valve
inline constexpr std::string_view kPuffHeld = "puff_held";  // 1 or 0; empty without a puff
// The puff's settings and the perch line are the decision's; the odds, the neutral share and the
// selection's are those of the draw that picked the song.
inline constexpr std::string_view kPuffDelaySeconds = "puff_delay_s";
inline constexpr std::string_view kPuffDurationSeconds = "puff_duration_s";
inline constexpr std::string_view kOdds = "odds";
inline constexpr std::string_view kNeutralSharePercent = "neutral_share_pct";
inline constexpr std::string_view kSelection = "selection";  // "random" or "serial"
inline constexpr std::string_view kSerialBlockLength = "serial_block_length";
inline constexpr std::string_view kSerialStart = "serial_start";  // the item's text
inline constexpr std::string_view kPerchLine = "perch_line";
inline constexpr std::string_view kDeviceOk = "device_ok";  // 1 when every device call succeeded
// The song's playback during the trial: frames owed, device underflows, the stream's state and
// the player's error text.
inline constexpr std::string_view kFramesOwed = "frames_owed";
inline constexpr std::string_view kUnderflows = "underflows";
inline constexpr std::string_view kStream = "stream";
inline constexpr std::string_view kPlayerError = "player_error";
// First tick after left_tick with the bird back on the perch, up to the decision.
inline constexpr std::string_view kReturnedTick = "returned_tick";
// (left_tick - start_tick) x 100 on every row with a left_tick.
inline constexpr std::string_view kLeftMs = "left_ms";
// Beside latency_ms and on the same rows: the monotonic clock's time from the start tick's perch
// read to the read that found the perch empty.
inline constexpr std::string_view kLatencyClockMs = "latency_clock_ms";
// 1 for a song's first decision, 2, 3 ... for those that follow it within the same song.
inline constexpr std::string_view kSongDecision = "song_decision";
// 1 when a puff of the same song was switched on before this decision.
inline constexpr std::string_view kAfterPuff = "after_puff";

inline constexpr std::array kColumns = {kTrial,
                                        kLoggedAt,
                                        kRunSeconds,
                                        kSongKind,
                                        kSongFile,
                                        kSongFolder,
                                        kStartTick,
                                        kDecisionTick,
                                        kOnPerch,
                                        kEscaped,
                                        kLeftTick,
                                        kLatencyMs,
                                        kPuffOn,
                                        kPuffHeld,
                                        kPuffDelaySeconds,
                                        kPuffDurationSeconds,
                                        kOdds,
                                        kNeutralSharePercent,
                                        kSelection,
                                        kSerialBlockLength,
                                        kSerialStart,
                                        kPerchLine,
                                        kDeviceOk,
                                        kFramesOwed,
                                        kUnderflows,
                                        kStream,
                                        kPlayerError,
                                        kReturnedTick,
                                        kLeftMs,
                                        kLatencyClockMs,
                                        kSongDecision,
                                        kAfterPuff};

}  // namespace orvane::trial_table
