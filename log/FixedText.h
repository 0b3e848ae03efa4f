#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace orvane {

// Text in a room of fixed size, for code that runs inside a crash: it never allocates, and what
// does not fit is cut off.
template <std::size_t kRoom>
class FixedText {
 public:
  FixedText& operator<<(std::string_view part) noexcept {
    const std::size_t length = part.size() < kRoom - size_ ? part.size() : kRoom - size_;
    std::memcpy(text_ + size_, part.data(), length);
    size_ += length;
    return *this;
  }
  FixedText& operator<<(std::int64_t number) noexcept {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
  }
  std::string_view View() const noexcept { return {text_, size_}; }
  bool Empty() const noexcept { return size_ == 0; }

 private:
  char text_[kRoom];
  std::size_t size_ = 0;
};

}  // namespace orvane
