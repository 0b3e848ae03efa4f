#include "playback/platform/IoErrorText.h"

#include <cerrno>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace orvane {

namespace {

IoFailure ClassifyPosixNumber(int number) {
  switch (number) {
    case ENOENT:
    case ENOTDIR:
      return IoFailure::kNotFound;
    case EACCES:
    case EPERM:
      return IoFailure::kAccessDenied;
    default:
      return IoFailure::kOther;
  }
}

#if defined(_WIN32)
IoFailure ClassifyWindowsCode(int code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME:
      return IoFailure::kNotFound;
    case ERROR_ACCESS_DENIED:
      return IoFailure::kAccessDenied;
    default:
      return IoFailure::kOther;
  }
}
#endif

}  // namespace

IoError ClassifySystemError(const std::error_code& code) {
#if defined(_WIN32)
  if (code.category() == std::system_category()) {
    return {ClassifyWindowsCode(code.value()), code.value()};
  }
#endif
  if (code.category() == std::generic_category() || code.category() == std::system_category()) {
    return {ClassifyPosixNumber(code.value()), code.value()};
  }
  // Another library's category: its portable meaning, where it has one.
  const std::error_condition condition = code.default_error_condition();
  if (condition.category() == std::generic_category()) {
    return {ClassifyPosixNumber(condition.value()), code.value()};
  }
  return {IoFailure::kOther, code.value()};
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
