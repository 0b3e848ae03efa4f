#include "control/SongKindSelection.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/control/ControllerFakes.h"

namespace orvane {
namespace {

using fakes::FakeLists;
using fakes::FakeSettings;
using fakes::FixedClock;

struct SelectionRig {
  FakeSettings settings;
  FakeLists lists;
  FixedClock clock;
  SongKindSelection selection{settings, lists, clock};

  SongKind Call() {
    return settings.selection_mode == 0 ? selection.ChooseRandomKind()
                                        : selection.ChooseSerialKind();
  }
  // The kinds of the next `trials` trials, calling the chooser as the controller would.
  std::vector<SongKind> Trials(int trials) {
    std::vector<SongKind> kinds;
    while (static_cast<int>(kinds.size()) < trials) {
      const SongKind kind = Call();
      if (kind != kNoTrial) {
        kinds.push_back(kind);
      }
    }
    return kinds;
  }
};

std::vector<SongKind> Repeat(SongKind kind, int times) {
  return std::vector<SongKind>(static_cast<std::size_t>(times), kind);
}

std::vector<SongKind> Concat(std::initializer_list<std::vector<SongKind>> parts) {
  std::vector<SongKind> all;
  for (const auto& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

TEST(SongKindSelection, FirstTrialOfTheRunComesOnTheHundredAndThirtySecondCall) {
  SelectionRig rig;  // initial odds 0.1: the first eleven draws of the run fail
  for (int call = 1; call < 132; ++call) {
    rig.lists.bad = rig.lists.good = colours::kRed;
    ASSERT_EQ(rig.selection.ChooseRandomKind(), kNoTrial) << "call " << call;
    ASSERT_EQ(rig.lists.bad, colours::kWhite) << "every call repaints both lists";
    ASSERT_EQ(rig.lists.good, colours::kWhite);
  }
  const SongKind kind = rig.selection.ChooseRandomKind();
  ASSERT_NE(kind, kNoTrial);
  EXPECT_EQ(rig.lists.bad, kind == kBadSong ? colours::kYellow : colours::kWhite);
  EXPECT_EQ(rig.lists.good, kind == kNeutralSong ? colours::kYellow : colours::kWhite);
}

TEST(SongKindSelection, GateLetsEveryEleventhCallDraw) {
  SelectionRig rig;
  for (int round = 0; round < 3; ++round) {
    const auto before = rig.selection.generator().State();
    for (int call = 0; call < 10; ++call) {
      rig.selection.ChooseRandomKind();
    }
    EXPECT_EQ(rig.selection.generator().State(), before) << "no draw behind a closed gate";
    rig.selection.ChooseRandomKind();
    EXPECT_NE(rig.selection.generator().State(), before) << "the eleventh call draws";
  }
}

TEST(SongKindSelection, NeutralShareDecidesTheKindRightAfterAReseed) {
  SelectionRig rig;
  rig.settings.odds = 1.0;  // a stand-in that lets every draw through, to see many kinds

  rig.settings.neutral_share_item = 0;
  EXPECT_EQ(rig.Trials(20), Repeat(kBadSong, 20));
  rig.settings.neutral_share_item = 4;
  EXPECT_EQ(rig.Trials(20), Repeat(kNeutralSong, 20));

  // The kind draw follows a reseed from the calendar clock, so one second gives one kind.
  rig.settings.neutral_share_item = 2;
  for (std::int64_t second : {1'700'000'000, 1'700'000'001, 1'700'000'002, 1'700'000'003}) {
    rig.clock.seconds = second;
    RandomGenerator expected;
    expected.Seed(static_cast<std::uint32_t>(second));
    const SongKind kind = expected.RandomBelow(100) < 50 ? kNeutralSong : kBadSong;
    EXPECT_EQ(rig.Trials(3), Repeat(kind, 3)) << "second " << second;
  }
}

TEST(SongKindSelection, SerialBlocksOfTwoStartingWithTheNeutralSong) {
  SelectionRig rig;
  rig.settings.selection_mode = 1;
  rig.settings.serial_block_length = 2;
  rig.settings.odds = 1.0;
  EXPECT_EQ(rig.Trials(11), (std::vector<SongKind>{1, 1, 2, 2, 2, 1, 1, 1, 2, 2, 2}));
}

TEST(SongKindSelection, SerialBlocksOfTenStartingWithTheBadSong) {
  SelectionRig rig;
  rig.settings.selection_mode = 1;
  rig.settings.serial_start_item = 1;
  rig.settings.odds = 1.0;
  EXPECT_EQ(rig.Trials(32),
            Concat({Repeat(kBadSong, 10), Repeat(kNeutralSong, 11), Repeat(kBadSong, 11)}));
  EXPECT_EQ(rig.lists.bad, colours::kYellow);
}

TEST(SongKindSelection, LoweringTheBlockLengthSwitchesAtTheNextTrial) {
  SelectionRig rig;
  rig.settings.selection_mode = 1;
  rig.settings.odds = 1.0;
  EXPECT_EQ(rig.Trials(6), Repeat(kNeutralSong, 6));
  rig.settings.serial_block_length = 4;  // at or below the six counted
  EXPECT_EQ(rig.Trials(6), Concat({Repeat(kBadSong, 5), Repeat(kNeutralSong, 1)}));
}

TEST(SongKindSelection, ModeSwitchesKeepEachChoosersCounts) {
  SelectionRig rig;
  rig.settings.odds = 1.0;
  rig.settings.selection_mode = 1;
  EXPECT_EQ(rig.Trials(3), Repeat(kNeutralSong, 3));
  for (int call = 0; call < 4; ++call) {
    rig.Call();
  }
  EXPECT_EQ(rig.selection.state().serial_gate, 4);

  // Random mode advances only its own gate; the start kind stays as first taken.
  rig.settings.selection_mode = 0;
  rig.settings.serial_start_item = 1;
  rig.Trials(5);
  EXPECT_EQ(rig.selection.state().serial_gate, 4);
  EXPECT_EQ(rig.selection.state().serial_block, 3);

  rig.settings.selection_mode = 1;
  for (int call = 0; call < 6; ++call) {
    EXPECT_EQ(rig.Call(), kNoTrial);
  }
  EXPECT_EQ(rig.Call(), kNeutralSong) << "the gate opens after its remaining calls";
  EXPECT_EQ(rig.Trials(6), Concat({Repeat(kNeutralSong, 6)}));
  EXPECT_EQ(rig.Trials(1), Repeat(kBadSong, 1));
}

TEST(SongKindSelection, SerialModeNeverReseeds) {
  SelectionRig rig;
  rig.settings.selection_mode = 1;
  RandomGenerator expected;  // the sequence from program start
  for (int draw = 0; draw < 5; ++draw) {
    for (int call = 0; call < 11; ++call) {
      rig.Call();
    }
    expected.Next();
    EXPECT_EQ(rig.selection.generator().State(), expected.State());
  }
}

}  // namespace
}  // namespace orvane
