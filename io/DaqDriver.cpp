#include "io/DaqDriver.h"

#include <cstddef>

namespace orvane {

namespace {

constexpr std::size_t kErrorTextSize = 2048;

template <typename Function>
bool Found(const SharedLibrary& library, const char* name, Function& function,
           const char*& missing) {
  function = reinterpret_cast<Function>(library.Find(name));
  if (function == nullptr) {
    missing = name;
  }
  return function != nullptr;
}

}  // namespace

std::optional<DaqDriver::Functions> DaqDriver::FunctionsOf(const SharedLibrary& library,
                                                           const char*& missing) {
  Functions f;
  const bool all = Found(library, "DAQmxCreateTask", f.create_task, missing) &&
                   Found(library, "DAQmxCreateDOChan", f.create_do_chan, missing) &&
                   Found(library, "DAQmxCreateDIChan", f.create_di_chan, missing) &&
                   Found(library, "DAQmxStartTask", f.start_task, missing) &&
                   Found(library, "DAQmxReadDigitalLines", f.read_digital_lines, missing) &&
                   Found(library, "DAQmxWriteDigitalLines", f.write_digital_lines, missing) &&
                   Found(library, "DAQmxStopTask", f.stop_task, missing) &&
                   Found(library, "DAQmxClearTask", f.clear_task, missing);
  if (!all) {
    return std::nullopt;
  }
  f.get_error_string =
      reinterpret_cast<daq::GetErrorStringFunction>(library.Find("DAQmxGetErrorString"));
  Functions watchdog;
  const char* watchdog_missing = nullptr;
  if (Found(library, "DAQmxCreateWatchdogTimerTaskEx", watchdog.create_watchdog,
            watchdog_missing) &&
      Found(library, "DAQmxCfgWatchdogDOExpirStates", watchdog.cfg_watchdog_do_expir_states,
            watchdog_missing) &&
      Found(library, "DAQmxControlWatchdogTask", watchdog.control_watchdog, watchdog_missing) &&
      Found(library, "DAQmxGetWatchdogHasExpired", watchdog.get_watchdog_has_expired,
            watchdog_missing)) {
    f.create_watchdog = watchdog.create_watchdog;
    f.cfg_watchdog_do_expir_states = watchdog.cfg_watchdog_do_expir_states;
    f.control_watchdog = watchdog.control_watchdog;
    f.get_watchdog_has_expired = watchdog.get_watchdog_has_expired;
  }
  return f;
}

daq::int32 DaqDriver::Bind() {
  if (bound_.load(std::memory_order_acquire)) {
    return 0;
  }
  const std::lock_guard lock(binding_mutex_);
  return BindOnce();
}

daq::int32 DaqDriver::BindOnce() {
  switch (binding_) {
    case Binding::kBound:
      return 0;
    case Binding::kIncomplete:
      return daq::kFunctionNotFound;
    case Binding::kNotLoaded:
      break;
  }
  for (const char* file_name : daq::kLibraryFileNames) {
    library_ = SharedLibrary::Open(file_name);
    if (library_) {
      library_name_ = file_name;
      break;
    }
  }
  if (!library_) {
    return daq::kLibraryNotFound;
  }
  // All eight or none, so that no task can be half driven.
  if (const auto functions = FunctionsOf(*library_, missing_function_)) {
    functions_ = *functions;
    binding_ = Binding::kBound;
    bound_.store(true, std::memory_order_release);
    return 0;
  }
  library_.reset();
  binding_ = Binding::kIncomplete;
  return daq::kFunctionNotFound;
}

template <auto function, typename... Arguments>
daq::int32 DaqDriver::Call(Arguments... arguments) {
  if (const daq::int32 status = Bind(); status != 0) {
    return status;
  }
  return (functions_.*function)(arguments...);
}

template <auto function, typename... Arguments>
daq::int32 DaqDriver::CallOptional(Arguments... arguments) {
  if (const daq::int32 status = Bind(); status != 0) {
    return status;
  }
  if (functions_.*function == nullptr) {
    return daq::kFunctionNotFound;
  }
  return (functions_.*function)(arguments...);
}

daq::int32 DaqDriver::CreateTask(const char task_name[], daq::TaskHandle* task) {
  return Call<&Functions::create_task>(task_name, task);
}

daq::int32 DaqDriver::CreateDOChan(daq::TaskHandle task, const char lines[],
                                   const char name_to_assign_to_lines[], daq::int32 line_grouping) {
  return Call<&Functions::create_do_chan>(task, lines, name_to_assign_to_lines, line_grouping);
}

daq::int32 DaqDriver::CreateDIChan(daq::TaskHandle task, const char lines[],
                                   const char name_to_assign_to_lines[], daq::int32 line_grouping) {
  return Call<&Functions::create_di_chan>(task, lines, name_to_assign_to_lines, line_grouping);
}

daq::int32 DaqDriver::StartTask(daq::TaskHandle task) {
  return Call<&Functions::start_task>(task);
}

daq::int32 DaqDriver::ReadDigitalLines(daq::TaskHandle task, daq::int32 samples_per_channel,
                                       daq::float64 timeout, daq::bool32 fill_mode,
                                       daq::uInt8 read_array[], daq::uInt32 array_size_in_bytes,
                                       daq::int32* samples_per_channel_read,
                                       daq::int32* bytes_per_sample, daq::bool32* reserved) {
  return Call<&Functions::read_digital_lines>(task, samples_per_channel, timeout, fill_mode,
                                              read_array, array_size_in_bytes,
                                              samples_per_channel_read, bytes_per_sample, reserved);
}

daq::int32 DaqDriver::WriteDigitalLines(daq::TaskHandle task, daq::int32 samples_per_channel,
                                        daq::bool32 auto_start, daq::float64 timeout,
                                        daq::bool32 data_layout, const daq::uInt8 write_array[],
                                        daq::int32* samples_per_channel_written,
                                        daq::bool32* reserved) {
  return Call<&Functions::write_digital_lines>(task, samples_per_channel, auto_start, timeout,
                                               data_layout, write_array,
                                               samples_per_channel_written, reserved);
}

daq::int32 DaqDriver::StopTask(daq::TaskHandle task) {
  return Call<&Functions::stop_task>(task);
}

daq::int32 DaqDriver::ClearTask(daq::TaskHandle task) {
  return Call<&Functions::clear_task>(task);
}

daq::int32 DaqDriver::CreateWatchdogTimerTaskEx(const char device_name[], const char task_name[],
                                                daq::TaskHandle* task, daq::float64 timeout) {
  return CallOptional<&Functions::create_watchdog>(device_name, task_name, task, timeout);
}

daq::int32 DaqDriver::CfgWatchdogDOExpirStates(daq::TaskHandle task, const char channel_names[],
                                               const daq::int32 expir_state_array[],
                                               daq::uInt32 array_size) {
  return CallOptional<&Functions::cfg_watchdog_do_expir_states>(task, channel_names,
                                                                expir_state_array, array_size);
}

daq::int32 DaqDriver::ControlWatchdogTask(daq::TaskHandle task, daq::int32 action) {
  return CallOptional<&Functions::control_watchdog>(task, action);
}

daq::int32 DaqDriver::GetWatchdogHasExpired(daq::TaskHandle task, daq::bool32* data) {
  return CallOptional<&Functions::get_watchdog_has_expired>(task, data);
}

bool DaqDriver::OffersWatchdog() {
  return Bind() == 0 && functions_.create_watchdog != nullptr;
}

std::string DaqDriver::ErrorText(daq::int32 status) {
  if (Bind() != 0 || functions_.get_error_string == nullptr) {
    return {};
  }
  char text[kErrorTextSize] = {};
  if (functions_.get_error_string(status, text, static_cast<daq::uInt32>(sizeof text)) < 0) {
    return {};
  }
  text[sizeof text - 1] = '\0';  // whatever the driver did with a text too long
  return text;
}

}  // namespace orvane
