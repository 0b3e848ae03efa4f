#pragma once

#include <cstdint>

namespace orvane {

// The experiment's settings as the window's controls hold them. Every value is read at the
// moment it is needed and never kept, so a change takes effect at the next read.
class ExperimentSettings {
 public:
  virtual ~ExperimentSettings() = default;

  virtual double Odds() const = 0;                     // Value of `odds`, probability per draw
  virtual std::int32_t NeutralShareItem() const = 0;   // item of `precent_bad`, 0..4
  virtual std::int32_t SelectionMode() const = 0;      // item of `song_selection`, 0 random
  virtual std::int32_t SerialBlockLength() const = 0;  // position of `serial_tb`
  virtual std::int32_t SerialStartItem() const = 0;    // item of `start_with`
  virtual double PuffDelay() const = 0;                // Value of `action_delay`, seconds
  virtual std::int32_t PuffDuration() const = 0;       // position of `puff_duration`, ticks
  virtual double PerchLine() const = 0;                // Value of `l1`
};

}  // namespace orvane
