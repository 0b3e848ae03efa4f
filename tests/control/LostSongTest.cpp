#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "control/TrialController.h"
#include "tests/control/ControllerFakes.h"

namespace orvane {
namespace {

// A bad song's player whose songs reach the sound device or are lost on their way, as told for
// each play in turn; the last word holds for the plays after.
struct BadPlayer final : Player {
  explicit BadPlayer(fakes::EventLog& log) : log(log) {}
  fakes::EventLog& log;
  std::vector<std::string> lost;
  std::size_t plays = 0;

  void Play() override {
    log.Add("Play bad");
    ++plays;
  }
  bool Enabled() const override { return true; }
  std::string LostSong() const override { return lost.at(std::min(plays, lost.size()) - 1); }
};

struct TrialRun {
  std::map<int, std::vector<std::string>> events;  // by tick, ticks with nothing left out
  std::vector<std::string> notices;
};

// Bad-song trials with the bird on the perch, their songs lost as told; a delay of 1.0 s (decided
// 10 ticks after the start) and a puff of 2.0 s put two decisions in each trial.
TrialRun Trials(std::deque<SongKind> kinds, const std::vector<std::string>& lost, int ticks = 70) {
  fakes::ControllerRig parts;
  parts.settings.puff_delay = 10 / 10.0;
  parts.settings.puff_duration = 20;
  parts.chooser.script = std::move(kinds);
  BadPlayer bad(parts.events);
  bad.lost = lost;
  TrialController controller({parts.settings, parts.lines, parts.chooser, parts.play_good, bad,
                              parts.log, parts.view, parts.timer1, parts.timer2});
  controller.StartClick();
  TrialRun run;
  for (int tick = 1; tick <= ticks; ++tick) {
    controller.Timer1Timer();
    if (std::vector<std::string> happened = parts.events.Take(); !happened.empty()) {
      run.events[tick] = std::move(happened);
    }
  }
  run.notices = parts.view.messages;
  return run;
}

TEST(TrialController, ATrialWhoseSongWasLostIsToldOnceAndKeepsEveryTickOfAPlayedOne) {
  const std::deque<SongKind> two_trials = {kBadSong, kNoTrial, kNoTrial, kBadSong};
  const TrialRun heard = Trials(two_trials, {""});
  const TrialRun lost = Trials(two_trials, {"The sound device went away"});

  // Played: each trial is decided twice, with a puff each time, and ends with the puff off; the
  // count left from the first makes the second's first decision come at once.
  using Events = std::vector<std::string>;
  EXPECT_EQ(heard.events, (std::map<int, Events>{{1, {"Play bad"}},
                                                 {11, {"PuffOn", "Log bad stayed"}},
                                                 {22, {"PuffOn", "Log bad stayed"}},
                                                 {31, {"PuffOff"}},
                                                 {34, {"Play bad"}},
                                                 {35, {"PuffOn", "Log bad stayed"}},
                                                 {46, {"PuffOn", "Log bad stayed"}},
                                                 {55, {"PuffOff"}}}));
  EXPECT_TRUE(heard.notices.empty());

  // Lost: nothing logged or puffed, the songs start on the same ticks, and the experimenter is
  // told once, at the first decision, for the whole spell of lost songs.
  EXPECT_EQ(lost.events, (std::map<int, Events>{{1, {"Play bad"}}, {34, {"Play bad"}}}));
  const std::string notice =
      "The bad song did not reach the sound device, so its trial was not logged: "
      "The sound device went away";
  EXPECT_EQ(lost.notices, std::vector<std::string>{notice});

  // A song heard ends the spell: the next lost one is told again.
  const TrialRun spells = Trials({kBadSong, kNoTrial, kNoTrial, kBadSong, kNoTrial, kNoTrial,
                                  kBadSong, kNoTrial, kNoTrial, kBadSong},
                                 {"The sound device went away", "Stalled", "", "Gone"}, 130);
  EXPECT_EQ(spells.notices, (std::vector<std::string>{
                                notice,
                                "The bad song did not reach the sound device, so its trial was not "
                                "logged: Gone"}));
}

}  // namespace
}  // namespace orvane
