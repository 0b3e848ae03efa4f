#pragma once

#include <array>
#include <string>
#include <string_view>

#include "control/ExperimentSettings.h"
#include "log/record/TrialTableFormat.h"

namespace orvane::record {

// The settings the experiment reads, as the run's files write them, in the trial table's order:
// under these column names, held by these controls of the window.
inline constexpr std::array kSettingColumns = {trial_table::kPuffDelaySeconds,
                                               trial_table::kPuffDurationSeconds,
                                               trial_table::kOdds,
                                               trial_table::kNeutralSharePercent,
                                               trial_table::kSelection,
                                               trial_table::kSerialBlockLength,
                                               trial_table::kSerialStart,
                                               trial_table::kPerchLine};
inline constexpr std::array<std::string_view, kSettingColumns.size()> kSettingControls = {
    "action_delay",   "puff_duration", "odds",       "precent_bad",
    "song_selection", "serial_tb",     "start_with", "l1"};

// Which settings a trial table row gives as they were at the draw that picked its song, the others
// being the decision's.
inline constexpr std::array<bool, kSettingColumns.size()> kSettingOfTheDraw = {
    false, false, true, true, true, true, true, false};

using SettingsTexts = std::array<std::string, kSettingColumns.size()>;

// Reads every setting now: "2.0", "1.0", "0.100", "50", "random", "10", "bad song", "7".
SettingsTexts ReadSettings(const ExperimentSettings& settings);

}  // namespace orvane::record
