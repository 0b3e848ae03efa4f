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
  // The account's own record first: the program reads no environment where it can help it.
  std::string home;
  if (const passwd* user = getpwuid(getuid());
      user != nullptr && user->pw_dir != nullptr && *user->pw_dir != '\0') {
    home = user->pw_dir;
  } else if (const char* variable = std::getenv("HOME"); variable != nullptr && *variable != '\0') {
    home = variable;
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
