#include <windows.h>

#include <algorithm>

#include "log/platform/SystemText.h"

namespace orvane {

std::string SystemText(unsigned long error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string utf8;
  if (length > 0 && text != nullptr) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(std::max(size, 0)));
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr,
                        nullptr);
  }
  LocalFree(text);
  // The system's texts end in a full stop and a line end; the caller's sentence goes on.
  while (!utf8.empty() &&
         (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == '.' || utf8.back() == ' ')) {
    utf8.pop_back();
  }
  return utf8.empty() ? "system error " + std::to_string(error) : utf8;
}

}  // namespace orvane
