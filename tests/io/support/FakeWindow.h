#pragma once

#include <string>
#include <vector>

#include "control/ExperimentSettings.h"
#include "control/NoticeBoard.h"
#include "io/IndicatorShapes.h"

namespace orvane::testing {

// The window's indicator shapes, remembering every colour they were given.
class RecordingShapes final : public IndicatorShapes {
 public:
  void SetPerchColour(Colour colour) override { perch.push_back(colour); }
  void SetPuffColour(Colour colour) override { puff.push_back(colour); }
  void ShowDeviceFailing(bool on) override { failing = on; }
  void SetPuffNote(const std::string& note) override { puff_notes.push_back(note); }

  std::vector<Colour> perch;
  std::vector<Colour> puff;
  std::vector<std::string> puff_notes;
  bool failing = false;
};

// The window's error boxes, as the texts they would show.
class RecordingNotices final : public NoticeBoard {
 public:
  void Post(std::string text) override { texts.push_back(std::move(text)); }
  std::vector<std::string> texts;
};

// Fixed settings; only the perch line and the puff timings matter to the digital lines.
class FixedSettings final : public ExperimentSettings {
 public:
  double Odds() const override { return 0.1; }
  std::int32_t NeutralShareItem() const override { return 0; }
  std::int32_t SelectionMode() const override { return 0; }
  std::int32_t SerialBlockLength() const override { return 10; }
  std::int32_t SerialStartItem() const override { return 0; }
  double PuffDelay() const override { return puff_delay; }
  std::int32_t PuffDuration() const override { return puff_duration; }
  double PerchLine() const override { return perch_line; }

  double puff_delay = 2.0;
  std::int32_t puff_duration = 10;
  double perch_line = 7.0;
};

}  // namespace orvane::testing
