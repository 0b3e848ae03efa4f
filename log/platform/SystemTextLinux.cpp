#include <system_error>

#include "log/platform/SystemText.h"

namespace orvane {

std::string SystemText(unsigned long error) {
  return std::generic_category().message(static_cast<int>(error));
}

}  // namespace orvane
