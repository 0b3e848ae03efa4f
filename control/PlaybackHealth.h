#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// How a player's song has fared on the sound device since it was opened: the counters only grow,
// so whoever wants one trial's share takes the difference between two readings.
struct PlaybackHealth {
  std::uint64_t frames_owed = 0;  // frames the song owed the device but had not ready (silence)
  std::uint64_t underflows = 0;   // buffers the device ran dry before they were ready
  std::string stream;             // the stream's state in a word, e.g. "none", "ready", "dead"
  std::string error;              // the player's last error text; empty when there was none
};

}  // namespace orvane
