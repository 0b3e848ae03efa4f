#include "io/DigitalLines.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace orvane {

namespace {

constexpr const char* kDevice = "Dev1";
constexpr const char* kNoName = "";
constexpr daq::int32 kOneChannelForAllLines = 1;
constexpr daq::int32 kOneSample = 1;
constexpr daq::float64 kTimeoutSeconds = 10.0;
constexpr daq::bool32 kGroupByChannel = 0;
constexpr daq::bool32 kAutoStart = 1;
// How long a crash's last act lets a write already under way finish: well within its wait for the
// valve, and short of a driver's hang.
constexpr std::chrono::milliseconds kWriteUnderWay{500};
// The controller's tick, in which puff durations are counted.
constexpr PuffDeadline::Clock::duration kTick = std::chrono::milliseconds(100);

constexpr const char* kReadFailed = "The perch could not be read";
constexpr const char* kAfterReadFailed =
    "Until a read succeeds, trials are decided on the last reading (occupied if there was none).";
constexpr const char* kOnFailed = "The puffer could not be switched on";
constexpr const char* kAfterOnFailed = "The puffer shape does not turn red.";
constexpr const char* kOffFailed = "The puffer could not be switched off";
constexpr const char* kAfterOffFailed =
    "The off pattern is written again at every tick until it holds; the puffer shape stays red "
    "until then.";

// The first failing call of one task, which is all the experimenter needs to hear of it.
class OpeningSteps {
 public:
  OpeningSteps(DaqDriver& driver, const char* lines) : driver_(driver), lines_(lines) {}

  void Note(const char* function, daq::int32 status) {
    if (status < 0 && !first_failure_.has_value()) {
      first_failure_ = FailedCall{function, lines_, status, driver_.ErrorText(status)};
    }
  }
  bool Failed() const { return first_failure_.has_value(); }
  void AddTo(std::vector<FailedCall>& failures) const {
    if (first_failure_) {
      failures.push_back(*first_failure_);
    }
  }

 private:
  DaqDriver& driver_;
  const char* lines_;
  std::optional<FailedCall> first_failure_;
};

double SecondsOf(PuffDeadline::Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// The phase an on-write opens, or an off-write ends: none for the writers that only close.
std::optional<PuffDeadline::Puff> PhaseOf(PuffWriter by) {
  switch (by) {
    case PuffWriter::kTrial:
      return PuffDeadline::Puff::kTrial;
    case PuffWriter::kManual:
      return PuffDeadline::Puff::kManual;
    default:
      return std::nullopt;
  }
}

static_assert(ValveWatchdog::kLateReset == PuffDeadline::kAnswerGrace,
              "a beat after a silence resets the watchdog that the deadline's thread stopped "
              "resetting");

}  // namespace

DigitalLines::DigitalLines(const ExperimentSettings& settings, IndicatorShapes& shapes,
                           NoticeBoard& notices)
    : settings_(settings),
      shapes_(shapes),
      notices_(notices),
      deadline_([this](const Pattern& pattern) { return WritePattern(pattern); }) {}

void DigitalLines::OpenTasks() {
  OpeningSteps puffer(driver_, kPufferLines);
  puffer_task_ = nullptr;
  puffer.Note("DAQmxCreateTask", driver_.CreateTask(kNoName, &puffer_task_));
  puffer.Note("DAQmxCreateDOChan",
              driver_.CreateDOChan(puffer_task_, kPufferLines, kNoName, kOneChannelForAllLines));
  puffer.Note("DAQmxStartTask", driver_.StartTask(puffer_task_));
  // The port's lines start at whatever level the device gives them; the valve must start closed
  // for the blue `puff` shape to tell the truth. The program has opened nothing yet, so a failure
  // here is told with the opening and not written again.
  const daq::int32 closed = WritePattern(kPuffOffPattern);
  Report(false, PuffWriter::kStart, closed);
  puffer.Note("DAQmxWriteDigitalLines", closed);
  if (closed >= 0) {
    shapes_.SetPuffColour(colours::kBlue);
  }

  OpeningSteps perch(driver_, kPerchLines);
  perch_task_ = nullptr;
  perch.Note("DAQmxCreateTask", driver_.CreateTask(kNoName, &perch_task_));
  perch.Note("DAQmxCreateDIChan",
             driver_.CreateDIChan(perch_task_, kPerchLines, kNoName, kOneChannelForAllLines));
  perch.Note("DAQmxStartTask", driver_.StartTask(perch_task_));

  if (puffer.Failed() || perch.Failed()) {
    std::vector<FailedCall> failures;
    puffer.AddTo(failures);
    perch.AddTo(failures);
    notices_.Post(OpeningFailureText(failures, driver_.LibraryName(), driver_.MissingFunction(),
                                     kPufferLines));
    // Told once: later failures of the same calls stay quiet until one succeeds.
    writes_failing_ = puffer.Failed();
    reads_failing_ = perch.Failed();
    ShowDeviceState();
  }

  const std::string watchdog = watchdog_.Open(kDevice, kPufferLines);
  if (!watchdog.empty()) {
    shapes_.SetPuffNote(watchdog);
  }
  if (watchdog_.Running()) {
    deadline_.Start([this] { watchdog_.Reset(); });
  } else {
    deadline_.Start();
  }
}

bool DigitalLines::ReadPerch() {
  const daq::int32 status = driver_.ReadDigitalLines(
      perch_task_, kOneSample, kTimeoutSeconds, kGroupByChannel, perch_data_.data(),
      static_cast<daq::uInt32>(perch_data_.size()), &samps_read_, &bytes_per_samp_, nullptr);
  last_read_status_ = status;
  if (status < 0 || reads_failing_) {
    NoteStatus(status, reads_failing_, "DAQmxReadDigitalLines", kPerchLines, kReadFailed,
               kAfterReadFailed);
  }
  const double line = std::trunc(settings_.PerchLine());
  // The window keeps the line within 0..7; anything outside the buffer never shows a bird.
  const bool on_perch = line >= 0.0 && line < static_cast<double>(perch_data_.size()) &&
                        perch_data_[static_cast<std::size_t>(line)] == 0;
  shapes_.SetPerchColour(on_perch ? colours::kYellow : colours::kBlack);
  return on_perch;
}

void DigitalLines::PuffOn() {
  const auto ticks = std::max(settings_.PuffDuration(), 0) + 1;
  const PuffWriter by = writer_;
  const PuffDeadline::Switch on =
      deadline_.SwitchOn(PhaseOf(by).value_or(PuffDeadline::Puff::kTrial), ticks * kTick);
  TakeClosure(on.closure);
  if (!on.written) {
    return;
  }
  Report(true, by, on.status);
  if (Succeeded(on.status, kOnFailed, kAfterOnFailed)) {
    off_pattern_due_ = false;
    shapes_.SetPuffColour(colours::kRed);
  }
}

void DigitalLines::PuffOff() {
  WriteOff(writer_);
}

bool DigitalLines::WriteOff(PuffWriter by) {
  const PuffDeadline::Switch off = deadline_.SwitchOff(PhaseOf(by));
  const bool closure_told = TakeClosure(off.closure);
  Report(false, by, off.status);
  off_pattern_due_ = !Succeeded(off.status, kOffFailed, kAfterOffFailed);
  if (off_pattern_due_) {
    last_off_failure_ = FailedCall{"DAQmxWriteDigitalLines", kPufferLines, off.status,
                                   driver_.ErrorText(off.status)};
  } else {
    shapes_.SetPuffColour(colours::kBlue);
  }
  return closure_told;
}

void DigitalLines::Beat() {
  const Clock::time_point now = Clock::now();
  away_seconds_ = SecondsOf(now - deadline_.LastBeat());
  // Before the beat below tells the deadline's thread that the window answers again.
  const bool expired = watchdog_.ResetIsLate(now) && watchdog_.ResetAfterGap();
  // The lines are low already; the task is told so, which it takes only after the clearing.
  bool closure_told = expired && WriteOff(PuffWriter::kWatchdog);
  closure_told = TakeClosure(deadline_.Beat(now)) || closure_told;
  if (expired && !closure_told) {
    notices_.Post(WatchdogExpiryText(away_seconds_));
  }
}

bool DigitalLines::TakeClosure(const PuffDeadline::Closure& closure) {
  for (const PuffDeadline::OwnWrite& write : closure.writes) {
    Report(false, PuffWriter::kDeadline, write.status, write.written);
  }
  if (closure.writes.empty()) {
    return false;
  }
  const daq::int32 status = closure.writes.back().status;
  if (!Succeeded(status, kOffFailed, kAfterOffFailed)) {
    // The deadline's thread writes it again until it holds; so does the window meanwhile.
    off_pattern_due_ = true;
    last_off_failure_ =
        FailedCall{"DAQmxWriteDigitalLines", kPufferLines, status, driver_.ErrorText(status)};
    return false;
  }
  off_pattern_due_ = false;
  shapes_.SetPuffColour(colours::kBlue);
  notices_.Post(DeadlineClosureText(away_seconds_, SecondsOf(*closure.late)));
  return true;
}

void DigitalLines::Report(bool on, PuffWriter by, daq::int32 status,
                          std::optional<Clock::time_point> written) {
  if (listener_) {
    listener_(PufferWrite{on, by, status, written ? *written : Clock::now()});
  }
}

daq::int32 DigitalLines::WritePattern(const Pattern& pattern) {
  const std::lock_guard lock(puffer_write_);
  if (crashed_.load(std::memory_order_acquire)) {
    return daq::kProgramEnding;
  }
  return driver_.WriteDigitalLines(puffer_task_, kOneSample, kAutoStart, kTimeoutSeconds,
                                   kGroupByChannel, pattern.data(), nullptr, nullptr);
}

bool DigitalLines::Succeeded(daq::int32 status, const char* what, const char* then) {
  // Refused because the program is ending in a crash: no fault of the driver's to tell.
  if (status == daq::kProgramEnding && crashed_.load(std::memory_order_acquire)) {
    return false;
  }
  if (status < 0 || writes_failing_) {
    NoteStatus(status, writes_failing_, "DAQmxWriteDigitalLines", kPufferLines, what, then);
  }
  return status >= 0;
}

void DigitalLines::NoteStatus(daq::int32 status, bool& failing, const char* function,
                              const char* lines, const char* what, const char* then) {
  // Warnings (positive statuses) count as success.
  const bool failed = status < 0;
  if (failed == failing) {
    return;
  }
  failing = failed;
  if (failed) {
    notices_.Post(CallFailureText(
        what, FailedCall{function, lines, status, driver_.ErrorText(status)}, then));
  }
  ShowDeviceState();
}

void DigitalLines::ShowDeviceState() {
  shapes_.ShowDeviceFailing(reads_failing_ || writes_failing_);
}

void DigitalLines::CloseTasks() {
  // The window is going: nothing could show a failure any more.
  deadline_.Stop();
  closed_ = true;
  driver_.StopTask(perch_task_);
  driver_.StopTask(puffer_task_);
  driver_.ClearTask(perch_task_);
  driver_.ClearTask(puffer_task_);
  // Last, so that it still watches should the release itself hang.
  watchdog_.Close();
}

std::string DigitalLines::ValveLeftOpen() const {
  return ValveLeftOpenText(last_off_failure_.value_or(FailedCall{}));
}

std::optional<std::string> DigitalLines::CloseWithoutTheWindow() {
  if (closed_) {
    return std::nullopt;
  }
  deadline_.Stop();
  std::optional<std::string> left_open;
  if (DrivesAValve()) {
    const PuffDeadline::Switch off = deadline_.SwitchOff(std::nullopt);
    for (const PuffDeadline::OwnWrite& write : off.closure.writes) {
      Report(false, PuffWriter::kDeadline, write.status, write.written);
    }
    Report(false, PuffWriter::kClose, off.status);
    if (off.status < 0) {
      left_open = ValveLeftOpenText(FailedCall{"DAQmxWriteDigitalLines", kPufferLines, off.status,
                                               driver_.ErrorText(off.status)});
    }
  }
  CloseTasks();
  return left_open;
}

std::optional<daq::int32> DigitalLines::WriteOffAsLastAct(void* lines) noexcept {
  auto& self = *static_cast<DigitalLines*>(lines);
  // Loaded() never waits: the crash may have struck while the library was being bound.
  // No other thread's write may follow this one: a write under way is let finish first, but not
  // waited for long, since it may be the crashed one or hang in the driver.
  self.crashed_ = true;
  if (!self.DrivesAValve() || self.closed_) {
    return std::nullopt;
  }
  const bool waited = self.puffer_write_.try_lock_for(kWriteUnderWay);
  const daq::int32 status =
      self.driver_.WriteDigitalLines(self.puffer_task_, kOneSample, kAutoStart, kTimeoutSeconds,
                                     kGroupByChannel, kPuffOffPattern.data(), nullptr, nullptr);
  if (waited) {
    self.puffer_write_.unlock();
  }
  return status;
}

}  // namespace orvane
