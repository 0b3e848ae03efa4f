#include "playback/platform/IoErrorText.h"

#if defined(_WIN32)
#define NOMINMAX
#include <windows.h>
#else
#include <cerrno>
#endif

namespace orvane {

IoError ClassifySystemError(int system_code) {
#if defined(_WIN32)
  switch (system_code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME:
      return {IoFailure::kNotFound, system_code};
    case ERROR_ACCESS_DENIED:
      return {IoFailure::kAccessDenied, system_code};
    default:
      return {IoFailure::kOther, system_code};
  }
#else
  switch (system_code) {
    case ENOENT:
    case ENOTDIR:
      return {IoFailure::kNotFound, system_code};
    case EACCES:
    case EPERM:
      return {IoFailure::kAccessDenied, system_code};
    default:
      return {IoFailure::kOther, system_code};
  }
#endif
}

std::string IoErrorMessage(const IoError& error) {
  switch (error.failure) {
    case IoFailure::kNotFound:
      return "The specified file was not found";
    case IoFailure::kAccessDenied:
      return "File access denied";
    case IoFailure::kOther:
      break;
  }
  return "I/O error " + std::to_string(error.system_code);
}

}  // namespace orvane
