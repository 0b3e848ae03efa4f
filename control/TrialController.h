#pragma once

#include <cstdint>
#include <string>

#include "control/ControllerView.h"
#include "control/ExperimentSettings.h"
#include "control/KindChooser.h"
#include "control/PerchAndPuffer.h"
#include "control/Player.h"
#include "control/Timer.h"
#include "control/TrialLogger.h"

namespace orvane {

// Runs the experiment, one 100 ms tick of Timer1 at a time: samples the perch, may start a
// trial, counts ticks to the decision, decides and logs it, and runs the puff phase after it.
// Beside it the manual puff runs on Timer2. Every duration is a count of ticks; no clock is read.
class TrialController {
 public:
  struct State {
    bool perch_occupied = false;
    bool good_playing = false;
    bool bad_playing = false;
    bool puff_phase = false;
    bool puff_off_due = false;
    std::int32_t trial_ticks = 0;
    std::int32_t puff_ticks = 0;
    std::int32_t manual_puff_ticks = 0;
    bool song_lost = false;   // the trial's song never reached the sound device
    bool lost_spell = false;  // songs are being lost, and the experimenter was told
  };

  struct Parts {
    const ExperimentSettings& settings;
    PerchAndPuffer& lines;
    KindChooser& chooser;
    Player& play_good;
    Player& play_bad;
    TrialLogger& log;
    ControllerView& view;
    Timer& timer1;
    Timer& timer2;
  };

  explicit TrialController(const Parts& parts) : parts_(parts) {}

  void Timer1Timer();
  void StartClick();
  void StopClick();
  void pufferClick();
  void Timer2Timer();

  const State& state() const { return state_; }

 private:
  void StartTrialIfDue();
  void DecideIfDue();
  // True when the trial's song never reached the sound device. The experimenter is told once a
  // spell: a trial whose song was heard ends it.
  bool SongLost();
  void RunPuffPhase();

  Parts parts_;
  State state_;
};

inline constexpr const char* kSongsMissingMessage = "You must select songs before starting";

// The notice of a trial whose song never reached the sound device; the player's reason follows.
std::string SongLostNotice(SongKind kind, const std::string& reason);

}  // namespace orvane
