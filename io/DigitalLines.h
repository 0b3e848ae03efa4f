#pragma once

#include <array>

#include "control/ExperimentSettings.h"
#include "control/NoticeBoard.h"
#include "control/PerchAndPuffer.h"
#include "io/DaqDriver.h"
#include "io/IndicatorShapes.h"

namespace orvane {

// The perch input task on port 2 and the puffer output task on port 0 of device "Dev1", with
// the two indicator shapes kept in step. A failing device never stops the experiment, but it is
// never silent either: a failed opening, and the first failing read or write after a good one,
// are posted as notices, and the `perch` shape is crossed while calls fail. The `puff` shape
// shows the last pattern that was really written.
class DigitalLines final : public PerchAndPuffer {
 public:
  // One byte per line of a port, line 0 first.
  using Pattern = std::array<daq::uInt8, 8>;
  static constexpr Pattern kPuffOnPattern = {0, 0, 0, 1, 0, 0, 0, 0};  // valve on line 3
  static constexpr Pattern kPuffOffPattern = {0, 0, 0, 0, 0, 0, 0, 0};
  static constexpr const char* kPufferLines = "Dev1/port0/line0:7";
  static constexpr const char* kPerchLines = "Dev1/port2/line0:7";

  DigitalLines(const ExperimentSettings& settings, IndicatorShapes& shapes, NoticeBoard& notices)
      : settings_(settings), shapes_(shapes), notices_(notices) {}

  // Creates and starts the puffer task, closes the valve, then creates and starts the perch task.
  // Whatever fails is posted as one notice; every step runs all the same.
  void OpenTasks();
  // Reads port 2; the bird is on the perch when the line chosen by PerchLine() reads low. A read
  // that fails decides on what the buffer already holds.
  bool ReadPerch() override;
  void PuffOn() override;
  // A write that fails leaves the off pattern due until a write succeeds.
  void PuffOff() override;
  // Writes the off pattern again while it is due; the window calls this at every tick.
  void RewriteOffPatternIfDue() {
    if (off_pattern_due_) {
      PuffOff();
    }
  }
  bool OffPatternDue() const { return off_pattern_due_; }
  // Stops and clears both tasks; the valve is left as it is.
  void CloseTasks();

  // The driver's status of the last perch read and of the last puffer write; 0 before any.
  daq::int32 LastReadStatus() const { return last_read_status_; }
  daq::int32 LastWriteStatus() const { return last_write_status_; }
  bool DriverLoaded() const { return driver_.Bound(); }
  const char* DriverLibrary() const { return driver_.LibraryName(); }

 private:
  // False when the driver refused the pattern.
  bool Write(const Pattern& pattern, const char* what, const char* then);
  // Posts a failing call when it begins a spell of failures; a good call ends the spell.
  void NoteStatus(daq::int32 status, bool& failing, const char* function, const char* lines,
                  const char* what, const char* then);
  void ShowDeviceState();

  const ExperimentSettings& settings_;
  IndicatorShapes& shapes_;
  NoticeBoard& notices_;
  DaqDriver driver_;

  // Never cleared: a read that fails leaves the last good reading to decide again.
  std::array<daq::uInt8, 100> perch_data_{};
  daq::TaskHandle puffer_task_ = nullptr;
  daq::TaskHandle perch_task_ = nullptr;
  daq::int32 samps_read_ = 0;
  daq::int32 bytes_per_samp_ = 0;

  daq::int32 last_read_status_ = 0;
  daq::int32 last_write_status_ = 0;
  bool reads_failing_ = false;
  bool writes_failing_ = false;
  bool off_pattern_due_ = false;
};

}  // namespace orvane
