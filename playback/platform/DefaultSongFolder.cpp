#include "playback/platform/DefaultSongFolder.h"

#include "playback/Errors.h"

#if !defined(_WIN32)
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace orvane {

std::string DefaultSongFolder() {
#if defined(_WIN32)
  return "c:\\kro\\";
#else
  std::string home;
  if (const char* variable = std::getenv("HOME"); variable != nullptr && *variable != '\0') {
    home = variable;
  } else if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
    home = user->pw_dir;
  } else {
    throw EInOutError("The home folder is not known, so the song folder cannot be found");
  }
  if (home.back() != '/') {
    home += '/';
  }
  return home + "kro/";
#endif
}

}  // namespace orvane
