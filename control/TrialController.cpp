#include "control/TrialController.h"

#include "control/ExactProduct.h"

namespace orvane {

void TrialController::Timer1Timer() {
  state_.perch_occupied = parts_.lines.ReadPerch();
  StartTrialIfDue();
  if (state_.good_playing || state_.bad_playing) {
    ++state_.trial_ticks;
  }
  DecideIfDue();
  RunPuffPhase();
}

void TrialController::StartTrialIfDue() {
  // The puff phase is not consulted: a trial may start during a phase that has no song.
  if (!state_.perch_occupied || state_.good_playing || state_.bad_playing) {
    return;
  }
  const SongKind kind = parts_.settings.SelectionMode() != 0 ? parts_.chooser.ChooseSerialKind()
                                                             : parts_.chooser.ChooseRandomKind();
  // A flag is set only once Play has returned, so a player that throws leaves the trial unstarted.
  if (kind == kNeutralSong) {
    parts_.play_good.Play();
    state_.good_playing = true;
  } else if (kind == kBadSong) {
    parts_.play_bad.Play();
    state_.bad_playing = true;
  }
}

void TrialController::DecideIfDue() {
  // Decided when 10 × puff delay < trial_ticks, on every tick, with or without a song.
  if (CompareExactProduct(10.0, parts_.settings.PuffDelay(), state_.trial_ticks) >= 0) {
    return;
  }
  state_.trial_ticks = 0;
  state_.puff_phase = true;
  if ((state_.good_playing || state_.bad_playing) && SongLost()) {
    return;
  }
  if (state_.good_playing || state_.bad_playing) {
    state_.lost_spell = false;
  }
  if (state_.good_playing) {
    parts_.log.LogTrial(kNeutralSong, state_.perch_occupied);
  } else if (state_.bad_playing) {
    if (state_.perch_occupied) {
      parts_.lines.PuffOn();
    }
    state_.puff_off_due = true;
    parts_.log.LogTrial(kBadSong, state_.perch_occupied);
  }
}

bool TrialController::SongLost() {
  // A song the bird never heard makes no trial: nothing is logged or puffed, and the phase runs
  // as after a decision without a song, so every later tick falls as it would have.
  if (state_.song_lost) {
    return true;
  }
  const SongKind kind = state_.good_playing ? kNeutralSong : kBadSong;
  const std::string reason = (kind == kNeutralSong ? parts_.play_good : parts_.play_bad).LostSong();
  if (reason.empty()) {
    return false;
  }
  state_.song_lost = true;
  if (!state_.lost_spell) {
    state_.lost_spell = true;
    parts_.view.ShowNotice(SongLostNotice(kind, reason));
  }
  return true;
}

std::string SongLostNotice(SongKind kind, const std::string& reason) {
  return std::string("The ") + (kind == kNeutralSong ? "neutral" : "bad") +
         " song did not reach the sound device, so its trial was not logged: " + reason;
}

void TrialController::RunPuffPhase() {
  if (!state_.puff_phase) {
    return;
  }
  ++state_.puff_ticks;
  if (state_.puff_ticks <= parts_.settings.PuffDuration()) {
    return;
  }
  state_.puff_phase = false;
  if (state_.puff_off_due) {
    parts_.lines.PuffOff();
    state_.puff_off_due = false;
  }
  state_.puff_ticks = 0;
  state_.bad_playing = false;
  state_.good_playing = false;
  state_.song_lost = false;
  // trial_ticks counts on: the next trial's first decision comes that much sooner.
}

void TrialController::StartClick() {
  if (parts_.play_bad.Enabled() && parts_.play_good.Enabled()) {
    parts_.timer1.Enable();
    parts_.view.SetWindowColour(colours::kPaleGreen);
  } else {
    parts_.view.ShowErrorMessage(kSongsMissingMessage);
  }
}

void TrialController::StopClick() {
  // Only the tick stops: the puffer, the players and every count stay where they are.
  parts_.timer1.Disable();
  parts_.view.SetWindowColour(colours::kSilver);
}

void TrialController::pufferClick() {
  parts_.lines.PuffOn();
  parts_.timer2.Enable();
}

void TrialController::Timer2Timer() {
  ++state_.manual_puff_ticks;
  if (state_.manual_puff_ticks > parts_.settings.PuffDuration()) {
    parts_.lines.PuffOff();
    state_.manual_puff_ticks = 0;
    parts_.timer2.Disable();
  }
}

}  // namespace orvane
