#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "app/OrvaneApplication.h"

namespace orvane {

// The trial tables named after "--progress" among the program's arguments (perhaps none), made
// absolute, or nothing when the program is to run the experiment.
std::optional<std::vector<std::filesystem::path>> ProgressFiles(
    const std::vector<std::filesystem::path>& arguments);

// The program as a viewer of past runs: the "Progress" window alone, showing the runs of these
// trial tables, until it is closed. The acquisition device is not touched. Returns the exit code,
// which is 0.
int RunProgress(OrvaneApplication& app, const std::vector<std::filesystem::path>& files);

}  // namespace orvane
