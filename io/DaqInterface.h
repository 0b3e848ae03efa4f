#pragma once

#include <cstdint>

#include "io/platform/DaqPlatform.h"

// The acquisition driver's C interface as this program uses it: its own types, the eight
// functions that drive the lines, the one that puts a status into words and the four of the
// device's watchdog, declared here so that no driver header is needed to build.

namespace orvane::daq {

using int32 = std::int32_t;
using uInt32 = std::uint32_t;
using uInt8 = std::uint8_t;
using float64 = double;
using bool32 = std::uint32_t;

// Opaque to the program; null until the driver has created a task.
using TaskHandle = void*;

// Returned without calling anything while the driver library cannot be loaded.
inline constexpr int32 kLibraryNotFound = -200397;
// Returned by every call when the library lacks one of the functions below.
inline constexpr int32 kFunctionNotFound = -200398;
// The program's own, not the driver's: a write refused because a crash's last act has closed the
// valve for good.
inline constexpr int32 kProgramEnding = -1;

// Actions of DAQmxControlWatchdogTask and the level a line takes when the watchdog expires.
inline constexpr int32 kWatchdogResetTimer = 0;       // DAQmx_Val_ResetTimer
inline constexpr int32 kWatchdogClearExpiration = 1;  // DAQmx_Val_ClearExpiration
inline constexpr int32 kLineLow = 10214;              // DAQmx_Val_Low

// Pointers to the eight functions, with C linkage and the driver's calling convention.
extern "C" {
typedef int32(ORVANE_DAQ_CALL* CreateTaskFunction)(const char task_name[], TaskHandle* task);
typedef int32(ORVANE_DAQ_CALL* CreateChannelFunction)(TaskHandle task, const char lines[],
                                                      const char name_to_assign_to_lines[],
                                                      int32 line_grouping);
typedef int32(ORVANE_DAQ_CALL* TaskFunction)(TaskHandle task);
typedef int32(ORVANE_DAQ_CALL* ReadDigitalLinesFunction)(TaskHandle task, int32 samples_per_channel,
                                                         float64 timeout, bool32 fill_mode,
                                                         uInt8 read_array[],
                                                         uInt32 array_size_in_bytes,
                                                         int32* samples_per_channel_read,
                                                         int32* bytes_per_sample, bool32* reserved);
typedef int32(ORVANE_DAQ_CALL* WriteDigitalLinesFunction)(
    TaskHandle task, int32 samples_per_channel, bool32 auto_start, float64 timeout,
    bool32 data_layout, const uInt8 write_array[], int32* samples_per_channel_written,
    bool32* reserved);
// Writes the driver's text for `status` into `text`, cut to `text_size` bytes with the final NUL.
typedef int32(ORVANE_DAQ_CALL* GetErrorStringFunction)(int32 status, char text[], uInt32 text_size);
// The watchdog: a task of its own on a device, with a time-out in seconds, that drives the listed
// lines to their expiration states when it is not reset in time.
typedef int32(ORVANE_DAQ_CALL* CreateWatchdogFunction)(const char device_name[],
                                                       const char task_name[], TaskHandle* task,
                                                       float64 timeout);
typedef int32(ORVANE_DAQ_CALL* CfgWatchdogDOExpirStatesFunction)(TaskHandle task,
                                                                 const char channel_names[],
                                                                 const int32 expir_state_array[],
                                                                 uInt32 array_size);
typedef int32(ORVANE_DAQ_CALL* ControlWatchdogFunction)(TaskHandle task, int32 action);
typedef int32(ORVANE_DAQ_CALL* GetWatchdogHasExpiredFunction)(TaskHandle task, bool32* data);
}

}  // namespace orvane::daq
