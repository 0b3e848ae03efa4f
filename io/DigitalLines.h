#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "control/ExperimentSettings.h"
#include "control/NoticeBoard.h"
#include "control/PerchAndPuffer.h"
#include "control/PuffWriter.h"
#include "io/DaqDriver.h"
#include "io/DeviceMessages.h"
#include "io/IndicatorShapes.h"
#include "io/PuffDeadline.h"
#include "io/PuffPatterns.h"
#include "io/ValveWatchdog.h"

namespace orvane {

// The perch input task on port 2 and the puffer output task on port 0 of device "Dev1", with
// the two indicator shapes kept in step. A failing device never stops the experiment, but it is
// never silent either: a failed opening, and the first failing read or write after a good one,
// are posted as notices, and the `perch` shape is crossed while calls fail. The `puff` shape
// shows the last pattern that was really written, and every write to the puffer, whoever made
// it, is told to the listener of writes on the window's thread, in the order they were made.
//
// The valve does not depend on the window's thread alone: each puff has a deadline that a thread
// of its own keeps (PuffDeadline), and where the device has a watchdog it closes the valve by
// itself once the program stops answering (ValveWatchdog). The window's thread calls Beat at
// least every 100 ms; what acted on the valve while it did not is told at its next Beat.
class DigitalLines final : public PerchAndPuffer {
 public:
  using Clock = PuffDeadline::Clock;
  struct PufferWrite {
    bool on = false;
    PuffWriter by = PuffWriter::kTrial;
    daq::int32 status = 0;
    Clock::time_point written;
  };
  using WriteListener = std::function<void(const PufferWrite&)>;

  DigitalLines(const ExperimentSettings& settings, IndicatorShapes& shapes, NoticeBoard& notices);

  static constexpr const char* kPufferLines = "Dev1/port0/line0:7";
  static constexpr const char* kPerchLines = "Dev1/port2/line0:7";

  // Hears of each write to the puffer from now on.
  void ListenToWrites(WriteListener listener) { listener_ = std::move(listener); }
  // Who the window's next writes are by: a trial's and a manual puff's each run in phases of their
  // own (PuffDeadline); the default is the trial.
  void WritesBy(PuffWriter by) { writer_ = by; }

  // Creates and starts the puffer task, closes the valve, then creates and starts the perch task,
  // then the device's watchdog where it has one. Whatever fails is posted as one notice; every
  // step runs all the same.
  void OpenTasks();
  // Reads port 2; the bird is on the perch when the line chosen by PerchLine() reads low. A read
  // that fails decides on what the buffer already holds.
  bool ReadPerch() override;
  // The first on-write of a phase arms its deadline: puff duration + 1 ticks and
  // PuffDeadline::kMargin from then. Writes nothing in a phase that its deadline has ended.
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
  // The window's thread answers. Never waits, unless it has been silent for
  // PuffDeadline::kAnswerGrace: then a write of the deadline's thread in progress is waited for,
  // a puff past its set time is ended, and an expiry of the watchdog is cleared and the off
  // pattern written before this returns.
  void Beat();
  // Stops and clears both tasks and the watchdog; the valve is left as it is.
  void CloseTasks();

  // False when no puffer task could be made, the driver library being missing: then no valve can
  // have been driven, and the end of the program has none to close.
  bool DrivesAValve() const { return driver_.Loaded() && puffer_task_ != nullptr; }
  // What to tell when the program ends while the off pattern is due.
  std::string ValveLeftOpen() const;
  // For a program that ends without its event loop, from whatever thread: closes the valve and
  // releases the device, touching neither shapes nor notices. Says so when the valve stays open.
  std::optional<std::string> CloseWithoutTheWindow();
  // For a crash's last act, `lines` being a DigitalLines: no write is made after this one, which
  // takes no lock, since the crash may have struck while it was held. The driver's status, or
  // nothing when there is no valve to close.
  static std::optional<daq::int32> WriteOffAsLastAct(void* lines) noexcept;

  const PuffDeadline& Deadline() const { return deadline_; }

  // The driver's status of the last perch read; 0 before any. Writes are told to the listener.
  daq::int32 LastReadStatus() const { return last_read_status_; }
  bool DriverLoaded() const { return driver_.Loaded(); }
  const char* DriverLibrary() const { return driver_.LibraryName(); }

 private:
  daq::int32 WritePattern(const Pattern& pattern);
  // The off pattern on behalf of `by`; true when a closure of the deadline's was told with it.
  bool WriteOff(PuffWriter by);
  // Tells what the deadline did while the window was away; true when it closed the valve.
  bool TakeClosure(const PuffDeadline::Closure& closure);
  // To the listener, if any; `written` when it was not just now.
  void Report(bool on, PuffWriter by, daq::int32 status,
              std::optional<Clock::time_point> written = std::nullopt);
  // False when the driver refused the pattern.
  bool Succeeded(daq::int32 status, const char* what, const char* then);
  // Posts a failing call when it begins a spell of failures; a good call ends the spell.
  void NoteStatus(daq::int32 status, bool& failing, const char* function, const char* lines,
                  const char* what, const char* then);
  void ShowDeviceState();

  const ExperimentSettings& settings_;
  IndicatorShapes& shapes_;
  NoticeBoard& notices_;
  DaqDriver driver_;
  WriteListener listener_;
  PuffWriter writer_ = PuffWriter::kTrial;

  // Never cleared: a read that fails leaves the last good reading to decide again.
  std::array<daq::uInt8, 100> perch_data_{};
  daq::TaskHandle puffer_task_ = nullptr;
  daq::TaskHandle perch_task_ = nullptr;
  daq::int32 samps_read_ = 0;
  daq::int32 bytes_per_samp_ = 0;

  daq::int32 last_read_status_ = 0;
  bool reads_failing_ = false;
  bool writes_failing_ = false;
  bool off_pattern_due_ = false;
  // How long the window's thread was silent before its last beat, in seconds.
  double away_seconds_ = 0.0;
  std::optional<FailedCall> last_off_failure_;
  std::atomic<bool> closed_{false};
  // Set by a crash's last act: the off pattern is the last write.
  std::atomic<bool> crashed_{false};
  // Held over each write to the puffer with the check of crashed_, so that the last act's
  // off-write comes after a write already under way, never before it.
  std::timed_mutex puffer_write_;

  ValveWatchdog watchdog_{driver_};
  // Last: its thread ends before anything it writes through goes.
  PuffDeadline deadline_;
};

}  // namespace orvane
