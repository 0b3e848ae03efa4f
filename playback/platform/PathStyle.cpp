#include "playback/platform/PathStyle.h"

#include "playback/TextCase.h"

namespace orvane {

bool IsSeparator(char c, const PathStyle& style) {
  // Windows accepts both slashes; POSIX only its own.
  return c == style.separator || (style.has_drives && c == '/');
}

static bool IsDriveRoot(std::string_view path, const PathStyle& style) {
  return style.has_drives && path.size() == 3 && path[1] == ':' && IsSeparator(path[2], style);
}

bool IsRoot(std::string_view path, const PathStyle& style) {
  return (path.size() == 1 && IsSeparator(path[0], style)) || IsDriveRoot(path, style);
}

std::string WithoutTrailingSeparator(std::string_view path, const PathStyle& style) {
  while (path.size() > 1 && IsSeparator(path.back(), style) && !IsRoot(path, style)) {
    path.remove_suffix(1);
  }
  return std::string(path);
}

std::string FolderPart(std::string_view path, const PathStyle& style) {
  std::size_t cut = std::string_view::npos;
  for (std::size_t i = path.size(); i-- > 0;) {
    if (IsSeparator(path[i], style) || (style.has_drives && path[i] == ':')) {
      cut = i;
      break;
    }
  }
  if (cut == std::string_view::npos) {
    return {};
  }
  // A drive's ":" and the separator right after it belong to the folder, as does a lone "/".
  const bool keeps_cut = cut == 0 || path[cut] == ':' || path[cut - 1] == ':';
  return std::string(path.substr(0, keeps_cut ? cut + 1 : cut));
}

std::string JoinPath(std::string_view folder, std::string_view name, const PathStyle& style) {
  std::string path(folder);
  if (path.empty() || !IsSeparator(path.back(), style)) {
    path += style.separator;
  }
  path += name;
  return path;
}

bool SameFolder(std::string_view a, std::string_view b, const PathStyle& style) {
  return style.case_blind ? EqualIgnoringCase(a, b) : a == b;
}

}  // namespace orvane
