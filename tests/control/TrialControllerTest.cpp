#include "control/TrialController.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "tests/control/ControllerFakes.h"
#include "tests/control/ExactScaling.h"

namespace orvane {
namespace {

using fakes::ControllerRig;
using fakes::LoggedTrial;
using Events = std::vector<std::string>;
using EventsByTick = std::map<int, Events>;

// Ticks up to `last` and keeps what happened on each tick on which anything happened.
EventsByTick TickThrough(ControllerRig& rig, int last) {
  EventsByTick by_tick;
  while (rig.tick < last) {
    Events events = rig.Tick();
    if (!events.empty()) {
      by_tick[rig.tick] = std::move(events);
    }
  }
  return by_tick;
}

void ScriptKinds(ControllerRig& rig, std::initializer_list<std::pair<int, SongKind>> calls) {
  for (const auto& [zeros_before, kind] : calls) {
    rig.chooser.script.insert(rig.chooser.script.end(), static_cast<std::size_t>(zeros_before),
                              kNoTrial);
    rig.chooser.script.push_back(kind);
  }
}

TEST(TrialController, WorkedExampleWithTheDefaults) {
  ControllerRig rig;  // delay 2.0 s, duration 1.0 s, bird on the perch throughout
  // The chooser is asked on every tick without a song: 99 times for nothing, then a bad song on
  // tick 100; after that trial, ten more calls for nothing and a bad song again on tick 141.
  ScriptKinds(rig, {{99, kBadSong}, {10, kBadSong}});
  rig.controller.StartClick();
  EXPECT_EQ(rig.view.colour, colours::kPaleGreen);

  const EventsByTick first = TickThrough(rig, 100);
  EXPECT_EQ(first, (EventsByTick{{100, {"Play bad"}}}));
  EXPECT_EQ(rig.controller.state().trial_ticks, 1);
  EXPECT_TRUE(rig.controller.state().bad_playing);

  EXPECT_EQ(TickThrough(rig, 119), EventsByTick{});
  EXPECT_EQ(rig.controller.state().trial_ticks, 20);

  EXPECT_EQ(TickThrough(rig, 120), (EventsByTick{{120, {"PuffOn", "Log bad stayed"}}}));
  EXPECT_EQ(rig.controller.state().trial_ticks, 0);
  EXPECT_EQ(rig.controller.state().puff_ticks, 1);

  EXPECT_EQ(TickThrough(rig, 130), (EventsByTick{{130, {"PuffOff"}}}));
  EXPECT_FALSE(rig.controller.state().bad_playing);
  EXPECT_FALSE(rig.controller.state().puff_phase);
  EXPECT_EQ(rig.controller.state().trial_ticks, 10) << "the count is not reset at the phase end";

  EXPECT_EQ(
      TickThrough(rig, 161),
      (EventsByTick{{141, {"Play bad"}}, {151, {"PuffOn", "Log bad stayed"}}, {161, {"PuffOff"}}}));
  EXPECT_EQ(rig.controller.state().trial_ticks, 10);
  EXPECT_EQ(rig.chooser.random_calls, 111) << "no chooser call while a song flag is set";
  EXPECT_TRUE(rig.chooser.script.empty());
}

TEST(TrialController, DecidesWhenTenTimesTheExactDelayIsBelowTheCountAtEverySliderPosition) {
  // Where position / 10.0 lies below the exact tenth, ten times it is below the position itself.
  const std::set<int> rounded_down = {3,  6,  7,  12, 14, 17, 19, 23, 24, 28,
                                      29, 33, 34, 38, 39, 41, 43, 46, 48};
  for (int position = 0; position <= 50; ++position) {
    ControllerRig rig;
    rig.settings.puff_delay = position / 10.0;
    ScriptKinds(rig, {{0, kBadSong}});
    rig.controller.StartClick();
    while (rig.log.trials.empty() && rig.tick < 100) {
      rig.Tick();
    }
    // The song started on tick 1 with the count at 1, so the decision tick is the count.
    const int expected = rounded_down.count(position) ? position : position + 1;
    EXPECT_EQ(rig.tick, expected) << "delay slider at " << position;
    EXPECT_EQ(expected, testing::ScaleExactly(position / 10.0, 1).whole + 1) << position;
  }
}

TEST(TrialController, OneSecondDelayDecidesLaterTrialsOnTheirStartTick) {
  ControllerRig rig;
  rig.settings.puff_delay = 10 / 10.0;
  ScriptKinds(rig, {{0, kBadSong}, {0, kBadSong}, {0, kNeutralSong}});
  rig.controller.StartClick();

  EXPECT_EQ(
      TickThrough(rig, 21),
      (EventsByTick{{1, {"Play bad"}}, {11, {"PuffOn", "Log bad stayed"}}, {21, {"PuffOff"}}}));
  EXPECT_EQ(rig.Tick(), (Events{"Play bad", "PuffOn", "Log bad stayed"}));
  EXPECT_EQ(TickThrough(rig, 32), (EventsByTick{{32, {"PuffOff"}}}));
  EXPECT_EQ(rig.Tick(), (Events{"Play good", "Log good stayed"}));
}

TEST(TrialController, LongPuffHoldsSeveralDecisionsInOneTrial) {
  ControllerRig rig;
  rig.settings.puff_delay = 10 / 10.0;  // T = 11
  rig.settings.puff_duration = 50;
  ScriptKinds(rig, {{4, kBadSong}, {0, kBadSong}});
  rig.controller.StartClick();

  const int s = 5;
  const Events decision{"PuffOn", "Log bad stayed"};
  EXPECT_EQ(TickThrough(rig, s + 60), (EventsByTick{{s, {"Play bad"}},
                                                    {s + 10, decision},
                                                    {s + 21, decision},
                                                    {s + 32, decision},
                                                    {s + 43, decision},
                                                    {s + 54, decision},
                                                    {s + 60, {"PuffOff"}}}));
  EXPECT_EQ(rig.controller.state().trial_ticks, 6);

  // The next trial counts on from 6: decided 4 ticks after its start.
  EXPECT_EQ(TickThrough(rig, s + 65), (EventsByTick{{s + 61, {"Play bad"}}, {s + 65, decision}}));
}

TEST(TrialController, ZeroDelayDecidesOnEveryTickOfThePhase) {
  ControllerRig rig;
  rig.settings.puff_delay = 0 / 10.0;
  ScriptKinds(rig, {{0, kBadSong}});
  rig.controller.StartClick();

  const EventsByTick ticks = TickThrough(rig, 11);
  EXPECT_EQ(ticks.at(1), (Events{"Play bad", "PuffOn", "Log bad stayed"}));
  for (int t = 2; t <= 10; ++t) {
    EXPECT_EQ(ticks.at(t), (Events{"PuffOn", "Log bad stayed"})) << "tick " << t;
  }
  EXPECT_EQ(ticks.at(11), (Events{"PuffOn", "Log bad stayed", "PuffOff"}));
  EXPECT_EQ(rig.log.trials.size(), 11u);
}

TEST(TrialController, ZeroDurationEndsThePhaseOnTheDecisionTick) {
  ControllerRig rig;
  rig.settings.puff_duration = 0;
  ScriptKinds(rig, {{0, kBadSong}});
  rig.controller.StartClick();

  EXPECT_EQ(TickThrough(rig, 21),
            (EventsByTick{{1, {"Play bad"}}, {21, {"PuffOn", "Log bad stayed", "PuffOff"}}}));

  rig.controller.pufferClick();
  EXPECT_EQ(rig.events.Take(), (Events{"PuffOn"}));
  rig.controller.Timer2Timer();
  EXPECT_EQ(rig.events.Take(), (Events{"PuffOff"}));
  EXPECT_FALSE(rig.timer2.enabled);
}

TEST(TrialController, OutcomeDependsOnlyOnThePerchAtTheDecision) {
  ControllerRig rig;
  ScriptKinds(rig, {{0, kBadSong}, {0, kNeutralSong}, {0, kNeutralSong}});
  rig.controller.StartClick();

  // Bad song, the bird hops off and on while waiting, then is gone at the decision: no puff,
  // an escape, and still a PuffOff at the end of the phase.
  TickThrough(rig, 5);
  rig.lines.bird_on_perch = false;
  TickThrough(rig, 10);
  rig.lines.bird_on_perch = true;
  TickThrough(rig, 15);
  rig.lines.bird_on_perch = false;
  EXPECT_EQ(TickThrough(rig, 31), (EventsByTick{{21, {"Log bad escaped"}}, {31, {"PuffOff"}}}));

  // No trial starts while the perch is empty.
  EXPECT_EQ(TickThrough(rig, 40), EventsByTick{});
  rig.lines.bird_on_perch = true;

  // Neutral songs: a row each, never the puffer.
  EXPECT_EQ(TickThrough(rig, 61), (EventsByTick{{41, {"Play good"}}, {51, {"Log good stayed"}}}));
  EXPECT_EQ(TickThrough(rig, 72), (EventsByTick{{62, {"Play good"}}, {72, {"Log good stayed"}}}));
  EXPECT_EQ(rig.log.trials, (std::vector<LoggedTrial>{
                                {kBadSong, false}, {kNeutralSong, true}, {kNeutralSong, true}}));
}

TEST(TrialController, StopFreezesEverythingAndStartResumesIt) {
  ControllerRig rig;
  ScriptKinds(rig, {{0, kBadSong}, {0, kBadSong}});
  rig.controller.StartClick();

  // Stop in the middle of the puff phase: the valve stays open while stopped.
  TickThrough(rig, 25);
  ASSERT_TRUE(rig.lines.valve_open);
  rig.controller.StopClick();
  EXPECT_EQ(rig.view.colour, colours::kSilver);
  const int reads = rig.lines.reads;
  EXPECT_EQ(TickThrough(rig, 500), EventsByTick{}) << "no tick while stopped";
  EXPECT_EQ(rig.lines.reads, reads) << "the perch is not read while stopped";
  EXPECT_TRUE(rig.lines.valve_open);

  // Start resumes where it stood: the six ticks left of the phase finish it.
  rig.controller.StartClick();
  EXPECT_EQ(TickThrough(rig, 506), (EventsByTick{{506, {"PuffOff"}}}));

  // A trial waiting at Stop is decided after its remaining ticks.
  EXPECT_EQ(TickThrough(rig, 507), (EventsByTick{{507, {"Play bad"}}}));
  rig.controller.StopClick();
  TickThrough(rig, 600);
  rig.controller.StartClick();
  EXPECT_EQ(TickThrough(rig, 610), (EventsByTick{{610, {"PuffOn", "Log bad stayed"}}}));
}

TEST(TrialController, StartNeedsBothSongsAndPaintsTheWindowEachTime) {
  ControllerRig rig;
  rig.play_good.enabled = false;
  rig.controller.StartClick();
  EXPECT_FALSE(rig.timer1.enabled);
  EXPECT_EQ(rig.view.messages, (std::vector<std::string>{"You must select songs before starting"}));
  EXPECT_EQ(rig.view.colour, colours::kSilver);

  rig.play_good.enabled = true;
  rig.controller.StartClick();
  rig.view.colour = colours::kWhite;
  rig.controller.StartClick();
  EXPECT_TRUE(rig.timer1.enabled);
  EXPECT_EQ(rig.view.colour, colours::kPaleGreen) << "a second Start paints the window again";
}

TEST(TrialController, LoweringTheDelayWhileIdleRunsAPhaseWithoutASong) {
  ControllerRig rig;
  ScriptKinds(rig, {{0, kBadSong}});
  rig.controller.StartClick();
  TickThrough(rig, 31);  // one trial; its phase ended on tick 31 with trial_ticks at 10
  rig.events.Take();
  ASSERT_EQ(rig.controller.state().trial_ticks, 10);

  // Delay 0.5 s: 10 already passes, so the next tick decides with no song and starts a phase.
  rig.settings.puff_delay = 5 / 10.0;
  rig.settings.puff_duration = 20;
  EXPECT_EQ(rig.Tick(), Events{});
  EXPECT_TRUE(rig.controller.state().puff_phase);
  EXPECT_EQ(rig.controller.state().trial_ticks, 0);

  // A song started during that phase whose count cannot pass before the phase ends (T = 6, the
  // phase ends 20 ticks after tick 32, but the song starts on tick 50) is never decided.
  ScriptKinds(rig, {{17, kBadSong}});
  const EventsByTick ticks = TickThrough(rig, 60);
  EXPECT_EQ(ticks, (EventsByTick{{50, {"Play bad"}}}));
  EXPECT_EQ(rig.log.trials.size(), 1u) << "the song's flag was cleared at the phase end";
  EXPECT_FALSE(rig.controller.state().bad_playing);
}

TEST(TrialController, ManualPuffRunsOnItsOwnTimerWhichStopLeavesAlone) {
  ControllerRig rig;  // stopped: the manual puff works all the same
  rig.controller.pufferClick();
  EXPECT_EQ(rig.events.Take(), (Events{"PuffOn"}));
  EXPECT_TRUE(rig.timer2.enabled);

  rig.ManualTicks(5);
  rig.controller.StartClick();
  rig.controller.StopClick();
  ASSERT_TRUE(rig.timer2.enabled) << "Stop would leave the valve open with nothing to close it";
  rig.controller.pufferClick();  // a second click switches on again but does not extend
  EXPECT_EQ(rig.events.Take(), (Events{"PuffOn"}));
  rig.ManualTicks(5);
  EXPECT_TRUE(rig.events.Take().empty());
  rig.controller.Timer2Timer();  // the 11th tick after the first click
  EXPECT_EQ(rig.events.Take(), (Events{"PuffOff"}));
  EXPECT_FALSE(rig.timer2.enabled);
  EXPECT_EQ(rig.controller.state().manual_puff_ticks, 0);
  EXPECT_EQ(rig.controller.state().trial_ticks, 0) << "the trial state is untouched";
}

TEST(TrialController, ManualPuffAndTrialPuffShareTheValve) {
  ControllerRig rig;
  ScriptKinds(rig, {{0, kBadSong}});
  rig.controller.StartClick();
  TickThrough(rig, 15);
  rig.controller.pufferClick();  // ends 11 manual ticks later, inside the trial's phase
  rig.events.Take();
  for (int i = 0; i < 11; ++i) {
    rig.TickUntil(rig.tick + 1);
    rig.controller.Timer2Timer();
  }
  // Tick 21 decided the trial (valve on); the manual puff's end on the same round closes it early.
  EXPECT_EQ(rig.events.Take(), (Events{"PuffOn", "Log bad stayed", "PuffOff"}));
  EXPECT_FALSE(rig.lines.valve_open);
  EXPECT_EQ(TickThrough(rig, 31), (EventsByTick{{31, {"PuffOff"}}}))
      << "the phase still ends with PuffOff";
}

TEST(TrialController, APlayerThatThrowsLeavesTheTrialUnstarted) {
  ControllerRig rig;
  rig.play_bad.throws = true;
  ScriptKinds(rig, {{0, kBadSong}, {0, kNeutralSong}});
  rig.controller.StartClick();

  EXPECT_THROW(rig.controller.Timer1Timer(), std::runtime_error);
  EXPECT_FALSE(rig.controller.state().bad_playing);
  EXPECT_EQ(rig.controller.state().trial_ticks, 0) << "the tick ended at the failed Play";

  // The next tick may start the next trial the chooser gives.
  rig.controller.Timer1Timer();
  EXPECT_EQ(rig.events.Take(), (Events{"Play good"}));
  EXPECT_TRUE(rig.controller.state().good_playing);
}

}  // namespace
}  // namespace orvane
