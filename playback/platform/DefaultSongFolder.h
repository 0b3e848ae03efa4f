#pragma once

#include <string>

namespace orvane {

// The folder both song lists show at start-up: "c:\kro\" on Windows, "kro" in the user's home
// folder elsewhere, with a trailing separator. Throws EInOutError when there is no home folder.
std::string DefaultSongFolder();

}  // namespace orvane
