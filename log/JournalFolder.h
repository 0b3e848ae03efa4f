#pragma once

#include <filesystem>

namespace orvane {

// Where the trial journals go: the folder "Orvane" in the user's documents folder, as Qt's
// standard paths report it ("Documents\Orvane" on Windows). Empty when the system has none.
std::filesystem::path DefaultJournalFolder();

}  // namespace orvane
