#pragma once

#include <filesystem>
#include <vector>

namespace orvane {

// The program's arguments after its own name, as the system handed them over, so that a file
// whose name is not UTF-8 (Linux) or holds half of a UTF-16 pair (Windows) can still be opened.
// `argc` and `argv` are main's, after the application object has taken its own options out.
std::vector<std::filesystem::path> CommandLineArguments(int argc, char** argv);

}  // namespace orvane
