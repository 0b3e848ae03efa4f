#pragma once

#include <array>

#include "control/ExperimentSettings.h"
#include "control/PerchAndPuffer.h"
#include "io/DaqDriver.h"
#include "io/IndicatorShapes.h"

namespace orvane {

// The perch input task on port 2 and the puffer output task on port 0 of device "Dev1", with
// the two indicator shapes kept in step. Every driver status is discarded: the device fails
// silently, and a perch that never answers reads as occupied.
class DigitalLines final : public PerchAndPuffer {
 public:
  // One byte per line of a port, line 0 first.
  using Pattern = std::array<daq::uInt8, 8>;
  static constexpr Pattern kPuffOnPattern = {0, 0, 0, 1, 0, 0, 0, 0};  // valve on line 3
  static constexpr Pattern kPuffOffPattern = {0, 0, 0, 0, 0, 0, 0, 0};

  DigitalLines(const ExperimentSettings& settings, IndicatorShapes& shapes)
      : settings_(settings), shapes_(shapes) {}

  // Creates and starts the puffer task, closes the valve, then creates and starts the perch task.
  void OpenTasks();
  // Reads port 2; the bird is on the perch when the line chosen by PerchLine() reads low.
  bool ReadPerch() override;
  void PuffOn() override;
  void PuffOff() override;
  // Stops and clears both tasks; the valve is left as it is.
  void CloseTasks();

 private:
  void Write(const Pattern& pattern);

  const ExperimentSettings& settings_;
  IndicatorShapes& shapes_;
  DaqDriver driver_;

  // Never cleared: a read that fails leaves the last good reading to decide again.
  std::array<daq::uInt8, 100> perch_data_{};
  daq::TaskHandle puffer_task_ = nullptr;
  daq::TaskHandle perch_task_ = nullptr;
  daq::int32 samps_read_ = 0;
  daq::int32 bytes_per_samp_ = 0;
};

}  // namespace orvane
