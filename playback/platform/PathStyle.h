#pragma once

#include <string>
#include <string_view>

namespace orvane {

// How a platform writes folder paths: its separator, whether it has drive letters and whether
// its file names compare without regard to case.
struct PathStyle {
  char separator;
  bool has_drives;
  bool case_blind;
};

inline constexpr PathStyle kPosixPaths{'/', false, false};
inline constexpr PathStyle kWindowsPaths{'\\', true, true};

constexpr PathStyle NativePathStyle() {
#if defined(_WIN32)
  return kWindowsPaths;
#else
  return kPosixPaths;
#endif
}

bool IsSeparator(char c, const PathStyle& style);

// True for a root such as "/" or "c:\", which keeps its trailing separator.
bool IsRoot(std::string_view path, const PathStyle& style);

// The folder without a trailing separator, except for a root.
std::string WithoutTrailingSeparator(std::string_view path, const PathStyle& style);

// Everything before the last separator (or a drive's ":"); a root keeps its separator.
std::string FolderPart(std::string_view path, const PathStyle& style);

// The folder, a separator unless the folder already ends in one, and the name.
std::string JoinPath(std::string_view folder, std::string_view name, const PathStyle& style);

bool SameFolder(std::string_view a, std::string_view b, const PathStyle& style);

}  // namespace orvane
