#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include "io/DaqInterface.h"
#include "io/platform/SharedLibrary.h"

namespace orvane {

// The acquisition driver library, loaded at the first call of any of its functions. While it
// cannot be found every call returns daq::kLibraryNotFound and the next call looks again; a
// library that lacks one of the eight functions makes every call return daq::kFunctionNotFound.
// Otherwise each call returns the driver's own status, which ErrorText puts into the driver's
// words when the library offers them. The watchdog's four functions are optional: without them
// their calls return daq::kFunctionNotFound and the rest works as before. Calls may come from
// several threads at once, as the driver's own may.
class DaqDriver {
 public:
  DaqDriver() = default;
  DaqDriver(const DaqDriver&) = delete;
  DaqDriver& operator=(const DaqDriver&) = delete;

  daq::int32 CreateTask(const char task_name[], daq::TaskHandle* task);
  daq::int32 CreateDOChan(daq::TaskHandle task, const char lines[],
                          const char name_to_assign_to_lines[], daq::int32 line_grouping);
  daq::int32 CreateDIChan(daq::TaskHandle task, const char lines[],
                          const char name_to_assign_to_lines[], daq::int32 line_grouping);
  daq::int32 StartTask(daq::TaskHandle task);
  daq::int32 ReadDigitalLines(daq::TaskHandle task, daq::int32 samples_per_channel,
                              daq::float64 timeout, daq::bool32 fill_mode, daq::uInt8 read_array[],
                              daq::uInt32 array_size_in_bytes, daq::int32* samples_per_channel_read,
                              daq::int32* bytes_per_sample, daq::bool32* reserved);
  daq::int32 WriteDigitalLines(daq::TaskHandle task, daq::int32 samples_per_channel,
                               daq::bool32 auto_start, daq::float64 timeout,
                               daq::bool32 data_layout, const daq::uInt8 write_array[],
                               daq::int32* samples_per_channel_written, daq::bool32* reserved);
  daq::int32 StopTask(daq::TaskHandle task);
  daq::int32 ClearTask(daq::TaskHandle task);

  daq::int32 CreateWatchdogTimerTaskEx(const char device_name[], const char task_name[],
                                       daq::TaskHandle* task, daq::float64 timeout);
  daq::int32 CfgWatchdogDOExpirStates(daq::TaskHandle task, const char channel_names[],
                                      const daq::int32 expir_state_array[], daq::uInt32 array_size);
  daq::int32 ControlWatchdogTask(daq::TaskHandle task, daq::int32 action);
  daq::int32 GetWatchdogHasExpired(daq::TaskHandle task, daq::bool32* data);
  // True once the library is loaded with all four watchdog functions.
  bool OffersWatchdog();
  // True once the library is loaded; never waits, so a dying process may ask.
  bool Loaded() const { return bound_.load(std::memory_order_acquire); }

  // The driver's own text for a status; empty when the library has none to give.
  std::string ErrorText(daq::int32 status);
  // The first of the eight functions the loaded library lacked, or null.
  const char* MissingFunction() const { return missing_function_; }
  // The file name the library was loaded under, or the first one looked for while none was found.
  const char* LibraryName() const { return library_name_; }

 private:
  struct Functions {
    daq::CreateTaskFunction create_task = nullptr;
    daq::CreateChannelFunction create_do_chan = nullptr;
    daq::CreateChannelFunction create_di_chan = nullptr;
    daq::TaskFunction start_task = nullptr;
    daq::ReadDigitalLinesFunction read_digital_lines = nullptr;
    daq::WriteDigitalLinesFunction write_digital_lines = nullptr;
    daq::TaskFunction stop_task = nullptr;
    daq::TaskFunction clear_task = nullptr;
    // Optional: without it a status is shown as its number.
    daq::GetErrorStringFunction get_error_string = nullptr;
    // Optional, all four or none.
    daq::CreateWatchdogFunction create_watchdog = nullptr;
    daq::CfgWatchdogDOExpirStatesFunction cfg_watchdog_do_expir_states = nullptr;
    daq::ControlWatchdogFunction control_watchdog = nullptr;
    daq::GetWatchdogHasExpiredFunction get_watchdog_has_expired = nullptr;
  };

  enum class Binding { kNotLoaded, kBound, kIncomplete };

  // 0 once all eight functions are bound, else the status every call returns for now.
  daq::int32 Bind();
  daq::int32 BindOnce();
  template <auto function, typename... Arguments>
  daq::int32 Call(Arguments... arguments);
  template <auto function, typename... Arguments>
  daq::int32 CallOptional(Arguments... arguments);
  // All eight, or none with the name of the first one missing.
  static std::optional<Functions> FunctionsOf(const SharedLibrary& library, const char*& missing);

  // Set once the functions are bound, after which they never change and need no lock.
  std::atomic<bool> bound_{false};
  std::mutex binding_mutex_;
  Binding binding_ = Binding::kNotLoaded;
  const char* missing_function_ = nullptr;
  const char* library_name_ = daq::kLibraryFileNames[0];
  std::optional<SharedLibrary> library_;
  Functions functions_;
};

}  // namespace orvane
