#pragma once

#include <optional>

namespace orvane {

// A shared library loaded at run time, released when the last owner goes.
class SharedLibrary {
 public:
  // Any function pointer travels as this type until its user casts it back to its own type.
  using Symbol = void (*)();

  // Searches the platform's normal library path, as a program's own dependencies are found.
  static std::optional<SharedLibrary> Open(const char* file_name);

  SharedLibrary(SharedLibrary&& other) noexcept;
  SharedLibrary& operator=(SharedLibrary&& other) noexcept;
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;
  ~SharedLibrary();

  // The exported function of that name, or nullptr when the library has none.
  Symbol Find(const char* name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void Release() noexcept;

  void* handle_ = nullptr;
};

}  // namespace orvane
