#pragma once

#include <array>

// What differs between platforms in the acquisition driver's binary interface.

// The driver's C interface uses the standard Windows calling convention (it matters on 32-bit).
#if defined(_WIN32)
#define ORVANE_DAQ_CALL __stdcall
#else
#define ORVANE_DAQ_CALL
#endif

namespace orvane::daq {

// The file names under which the driver library is installed, tried in this order.
#if defined(_WIN32)
inline constexpr std::array<const char*, 1> kLibraryFileNames = {"nicaiu.dll"};
#else
inline constexpr std::array<const char*, 2> kLibraryFileNames = {"libnidaqmx.so.1",
                                                                 "libnidaqmx.so"};
#endif

}  // namespace orvane::daq
