#include "io/DigitalLines.h"

#include <cmath>
#include <cstddef>

namespace orvane {

namespace {

constexpr const char* kPufferLines = "Dev1/port0/line0:7";
constexpr const char* kPerchLines = "Dev1/port2/line0:7";
constexpr const char* kNoName = "";
constexpr daq::int32 kOneChannelForAllLines = 1;
constexpr daq::int32 kOneSample = 1;
constexpr daq::float64 kTimeoutSeconds = 10.0;
constexpr daq::bool32 kGroupByChannel = 0;
constexpr daq::bool32 kAutoStart = 1;

}  // namespace

void DigitalLines::OpenTasks() {
  puffer_task_ = nullptr;
  driver_.CreateTask(kNoName, &puffer_task_);
  driver_.CreateDOChan(puffer_task_, kPufferLines, kNoName, kOneChannelForAllLines);
  driver_.StartTask(puffer_task_);
  // The port's lines start at whatever level the device gives them; the valve must start closed
  // for the blue `puff` shape to tell the truth.
  PuffOff();
  perch_task_ = nullptr;
  driver_.CreateTask(kNoName, &perch_task_);
  driver_.CreateDIChan(perch_task_, kPerchLines, kNoName, kOneChannelForAllLines);
  driver_.StartTask(perch_task_);
}

bool DigitalLines::ReadPerch() {
  driver_.ReadDigitalLines(perch_task_, kOneSample, kTimeoutSeconds, kGroupByChannel,
                           perch_data_.data(), static_cast<daq::uInt32>(perch_data_.size()),
                           &samps_read_, &bytes_per_samp_, nullptr);
  const double line = std::trunc(settings_.PerchLine());
  // The window keeps the line within 0..7; anything outside the buffer never shows a bird.
  const bool on_perch = line >= 0.0 && line < static_cast<double>(perch_data_.size()) &&
                        perch_data_[static_cast<std::size_t>(line)] == 0;
  shapes_.SetPerchColour(on_perch ? colours::kYellow : colours::kBlack);
  return on_perch;
}

void DigitalLines::PuffOn() {
  Write(kPuffOnPattern);
  shapes_.SetPuffColour(colours::kRed);
}

void DigitalLines::PuffOff() {
  Write(kPuffOffPattern);
  shapes_.SetPuffColour(colours::kBlue);
}

void DigitalLines::Write(const Pattern& pattern) {
  driver_.WriteDigitalLines(puffer_task_, kOneSample, kAutoStart, kTimeoutSeconds, kGroupByChannel,
                            pattern.data(), nullptr, nullptr);
}

void DigitalLines::CloseTasks() {
  driver_.StopTask(perch_task_);
  driver_.StopTask(puffer_task_);
  driver_.ClearTask(perch_task_);
  driver_.ClearTask(puffer_task_);
}

}  // namespace orvane
