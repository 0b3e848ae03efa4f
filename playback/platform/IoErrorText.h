#pragma once

#include <string>
#include <system_error>

namespace orvane {

// Why the file system refused a folder, as far as the user's message distinguishes it.
enum class IoFailure { kNotFound, kAccessDenied, kOther };

struct IoError {
  IoFailure failure;
  int system_code;  // the error's own number, in its own category's numbering
};

// Sorts a file system error into the failures the user is told apart. Its category says how its
// number reads: POSIX numbers (generic category, and the system category off Windows) or Windows
// error codes (the system category on Windows); standard libraries differ in which they report.
IoError ClassifySystemError(const std::error_code& code);

std::string IoErrorMessage(const IoError& error);

}  // namespace orvane
