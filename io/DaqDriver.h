#pragma once

#include <optional>

#include "io/DaqInterface.h"
#include "io/platform/SharedLibrary.h"

namespace orvane {

// The acquisition driver library, loaded at the first call of any of its functions. While it
// cannot be found every call returns daq::kLibraryNotFound and the next call looks again; a
// library that lacks one of the eight functions makes every call return daq::kFunctionNotFound.
// Otherwise each call returns the driver's own status.
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
  };

  enum class Binding { kNotLoaded, kBound, kIncomplete };

  // 0 once all eight functions are bound, else the status every call returns for now.
  daq::int32 Bind();
  template <auto function, typename... Arguments>
  daq::int32 Call(Arguments... arguments);
  static std::optional<Functions> FunctionsOf(const SharedLibrary& library);

  Binding binding_ = Binding::kNotLoaded;
  std::optional<SharedLibrary> library_;
  Functions functions_;
};

}  // namespace orvane
