#pragma once

#include <cstdint>

namespace orvane {

// A 24-bit colour in blue-green-red byte order (0x00BBGGRR).
using Colour = std::uint32_t;

namespace colours {
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kYellow = 0x00FFFF;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kSilver = 0xC0C0C0;
inline constexpr Colour kPaleGreen = 0xC0DCC0;
}  // namespace colours

constexpr int RedOf(Colour c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

}  // namespace orvane
