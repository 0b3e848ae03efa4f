#pragma once

#include <string>

namespace orvane {

// Why the file system refused a folder, as far as the user's message distinguishes it.
enum class IoFailure { kNotFound, kAccessDenied, kOther };

struct IoError {
  IoFailure failure;
  int system_code;  // errno on POSIX, the system error code on Windows
};

// Sorts a system error code of this platform into the failures the user is told apart.
IoError ClassifySystemError(int system_code);

std::string IoErrorMessage(const IoError& error);

}  // namespace orvane
