#include "io/platform/SharedLibrary.h"

#include <utility>

#if defined(_WIN32)
#include <windows.h>

#include <string>
#else
#include <dlfcn.h>
#endif

namespace orvane {

#if defined(_WIN32)

namespace {

std::wstring Widened(const char* utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (length <= 0) {
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length) - 1);
  return wide;
}

}  // namespace

std::optional<SharedLibrary> SharedLibrary::Open(const char* file_name) {
  const std::wstring wide = Widened(file_name);
  // No system error box while searching (a drive without media on the path, say): the caller
  // decides what a missing library means.
  DWORD previous = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
  HMODULE module = LoadLibraryW(wide.c_str());
  SetThreadErrorMode(previous, nullptr);
  if (module == nullptr) {
    return std::nullopt;
  }
  return SharedLibrary(static_cast<void*>(module));
}

SharedLibrary::Symbol SharedLibrary::Find(const char* name) const {
  return reinterpret_cast<Symbol>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void SharedLibrary::Release() noexcept {
  if (handle_ != nullptr) {
    FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
  }
}

#else

std::optional<SharedLibrary> SharedLibrary::Open(const char* file_name) {
  // Resolved at once, so a library with unmet dependencies fails here rather than at a call.
  void* handle = dlopen(file_name, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    return std::nullopt;
  }
  return SharedLibrary(handle);
}

SharedLibrary::Symbol SharedLibrary::Find(const char* name) const {
  return reinterpret_cast<Symbol>(dlsym(handle_, name));
}

void SharedLibrary::Release() noexcept {
  if (handle_ != nullptr) {
    dlclose(handle_);
    handle_ = nullptr;
  }
}

#endif

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

SharedLibrary::~SharedLibrary() {
  Release();
}

}  // namespace orvane
