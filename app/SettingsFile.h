#pragma once

#include <filesystem>

namespace orvane {

// The user's own settings file of the program (an INI file), where it keeps a choice from one
// start to the next.
std::filesystem::path UserSettingsFile();

}  // namespace orvane
