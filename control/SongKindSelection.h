#pragma once

#include <cstdint>

#include "control/CalendarClock.h"
#include "control/ExperimentSettings.h"
#include "control/KindChooser.h"
#include "control/RandomGenerator.h"
#include "control/SongListHighlight.h"

namespace orvane {

// The two choosers of a trial's song kind and the generator they share. Both let only every
// eleventh call through to an odds draw; random mode then draws the kind by the neutral share,
// serial mode plays blocks of one kind. Nothing but these calls changes the state.
class SongKindSelection final : public KindChooser {
 public:
  struct State {
    std::int32_t random_gate = 0;
    std::int32_t serial_gate = 0;
    std::int32_t serial_block = 0;
    SongKind serial_kind = kNoTrial;
    bool serial_started = false;
  };

  SongKindSelection(const ExperimentSettings& settings, SongListHighlight& lists,
                    const CalendarClock& clock);

  SongKind ChooseRandomKind() override;
  SongKind ChooseSerialKind() override;

  void ReseedFromClock();

  const State& state() const { return state_; }
  RandomGenerator& generator() { return generator_; }

 private:
  static bool PassGate(std::int32_t& gate);
  bool OddsDrawSucceeds();
  SongKind DrawRandomKind();
  SongKind NextSerialKind();
  SongKind Highlight(SongKind kind);

  const ExperimentSettings& settings_;
  SongListHighlight& lists_;
  const CalendarClock& clock_;
  RandomGenerator generator_;
  State state_;
};

}  // namespace orvane
