#include "control/SongKindSelection.h"

#include <algorithm>
#include <array>

#include "control/ExactProduct.h"

namespace orvane {

namespace {

constexpr std::int32_t kGateLength = 10;  // the gate opens on every eleventh call
constexpr std::int32_t kDrawRange = 1000;

// k = RandomBelow(100) below the threshold picks the neutral song: "0%" never, "100%" always.
constexpr std::array<std::int32_t, 5> kNeutralThresholds = {-1, 25, 50, 75, 101};

}  // namespace

SongKindSelection::SongKindSelection(const ExperimentSettings& settings, SongListHighlight& lists,
                                     const CalendarClock& clock)
    : settings_(settings), lists_(lists), clock_(clock) {}

SongKind SongKindSelection::ChooseRandomKind() {
  if (!PassGate(state_.random_gate) || !OddsDrawSucceeds()) {
    return Highlight(kNoTrial);
  }
  return Highlight(DrawRandomKind());
}

SongKind SongKindSelection::ChooseSerialKind() {
  if (!state_.serial_started) {
    // The start kind is taken once per run; later changes of the control have no effect.
    state_.serial_kind = settings_.SerialStartItem() + 1;
    state_.serial_started = true;
  }
  if (!PassGate(state_.serial_gate) || !OddsDrawSucceeds()) {
    return Highlight(kNoTrial);
  }
  return Highlight(NextSerialKind());
}

void SongKindSelection::ReseedFromClock() {
  generator_.Seed(static_cast<std::uint32_t>(clock_.SecondsSinceEpoch()));
}

bool SongKindSelection::PassGate(std::int32_t& gate) {
  if (gate >= kGateLength) {
    gate = 0;
    return true;
  }
  ++gate;
  return false;
}

bool SongKindSelection::OddsDrawSucceeds() {
  const std::int32_t r = generator_.RandomBelow(kDrawRange);
  return CompareExactProduct(kDrawRange, settings_.Odds(), r) > 0;
}

SongKind SongKindSelection::DrawRandomKind() {
  const auto item = std::clamp<std::int32_t>(
      settings_.NeutralShareItem(), 0, static_cast<std::int32_t>(kNeutralThresholds.size()) - 1);
  const std::int32_t threshold = kNeutralThresholds[static_cast<std::size_t>(item)];
  ReseedFromClock();
  return generator_.RandomBelow(100) < threshold ? kNeutralSong : kBadSong;
}

SongKind SongKindSelection::NextSerialKind() {
  ++state_.serial_block;
  if (state_.serial_block > settings_.SerialBlockLength()) {
    // The trial that switches the kind is the first of the next block.
    state_.serial_block = 0;
    state_.serial_kind = state_.serial_kind == kNeutralSong ? kBadSong : kNeutralSong;
  }
  return state_.serial_kind;
}

SongKind SongKindSelection::Highlight(SongKind kind) {
  lists_.SetGoodListColour(kind == kNeutralSong ? colours::kYellow : colours::kWhite);
  lists_.SetBadListColour(kind == kBadSong ? colours::kYellow : colours::kWhite);
  return kind;
}

}  // namespace orvane
