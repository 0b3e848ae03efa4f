#pragma once

#include <optional>
#include <string>

#include "io/DaqInterface.h"
#include "io/platform/SharedLibrary.h"

namespace orvane {

// The acquisition driver library, loaded at the first call of any of its functions. While it
// cannot be found every call returns daq::kLibraryNotFound and the next call looks again; a
// library that lacks one of the eight functions makes every call return daq::kFunctionNotFound.
// Otherwise each call returns the driver's own status, which ErrorText puts into the driver's
// words when the library offers them.
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

  // The driver's own text for a status; empty when the library has none to give.
  std::string ErrorText(daq::int32 status);
  // The first of the eight functions the loaded library lacked, or null.
  const char* MissingFunction() const { return missing_function_; }
  // The file name the library was loaded under, or the first one looked for while none was found.
  const char* LibraryName() const { return library_name_; }
  // True once the library is loaded with all eight functions.
  bool Bound() const { return binding_ == Binding::kBound; }

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
  };

  enum class Binding { kNotLoaded, kBound, kIncomplete };

  // 0 once all eight functions are bound, else the status every call returns for now.
  daq::int32 Bind();
  template <auto function, typename... Arguments>
  daq::int32 Call(Arguments... arguments);
  // All eight, or none with the name of the first one missing.
  static std::optional<Functions> FunctionsOf(const SharedLibrary& library, const char*& missing);

  Binding binding_ = Binding::kNotLoaded;
  const char* missing_function_ = nullptr;
  const char* library_name_ = daq::kLibraryFileNames[0];
  std::optional<SharedLibrary> library_;
  Functions functions_;
};

}  // namespace orvane
