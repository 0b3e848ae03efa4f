// A stand-in for the acquisition driver library: one device whose port 2 lines are scripted
// read by read and whose port 0 lines keep the last pattern written. Every call is recorded as
// text with all its arguments, and also appended to the file SIMULATED_DRIVER_CALL_LOG names, so
// that a test can follow a program run in a process of its own. Any function can be told to fail.
// Calls may come from several threads at once.
//
// The device has a watchdog only on Linux and only when SIMULATED_DRIVER_WATCHDOG_LINES names a
// file: port 0 then lives in that file, where a process of its own drives it low when the watchdog
// is not reset in time, even after the program's process has gone. Otherwise creating a watchdog
// returns kWatchdogNotSupported.
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "io/DaqInterface.h"
#include "tests/io/simulated_driver/SimulatedDriverControl.h"
#if !defined(_WIN32)
#include "tests/io/simulated_driver/WatchdogCircuit.h"
#endif

using namespace orvane::daq;

namespace {

constexpr int32 kInvalidTask = -200088;
constexpr int32 kBufferTooSmall = -200229;
constexpr int32 kWatchdogNotSupported = -201119;
constexpr int32 kWatchdogExpired = -200644;
constexpr int32 kWatchdogFileFailed = -200645;
constexpr int32 kNoSuchDevice = -200220;
constexpr const char* kPort0Lines = "Dev1/port0/line0:7";

struct Read {
  bool fails = false;
  int32 status = 0;
  std::array<uInt8, 8> levels{};
};

struct Task {
  bool in_use = false;
  bool watchdog = false;
};

struct Failure {
  int32 status = 0;
  int32 calls_left = 0;
};

struct Slowness {
  int32 milliseconds = 0;
  int32 calls_left = 0;
};

// One simulated device for the whole process, as the real driver has.
struct Device {
  std::array<Task, 64> tasks{};
  std::size_t tasks_created = 0;
  std::array<uInt8, 8> port2_levels{1, 1, 1, 1, 1, 1, 1, 1};
  std::array<uInt8, 8> port0_levels{};
  std::deque<Read> script;
  // A deque, so that a call's text stays where it is while other calls are recorded.
  std::deque<std::string> calls;
  bool recording = true;
  // By function name; empty on the quiet path, so that a call costs no look-up there.
  std::map<std::string, Failure, std::less<>> failures;
  std::map<std::string, Slowness, std::less<>> slow_calls;
#if !defined(_WIN32)
  std::unique_ptr<WatchdogCircuit> watchdog;
#endif
};

Device& device() {
  static Device instance;
  return instance;
}

// Every exported function holds it for the whole call.
std::mutex& DriverMutex() {
  static std::mutex mutex;
  return mutex;
}

// Checked before a call's text is built, so that a quiet driver costs what a call's work costs.
bool Recording() {
  return device().recording;
}

bool Known(TaskHandle task) {
  Device& d = device();
  for (std::size_t i = 0; i < d.tasks_created; ++i) {
    if (task == &d.tasks[i]) {
      return d.tasks[i].in_use;
    }
  }
  return false;
}

std::string Name(TaskHandle task) {
  if (task == nullptr) {
    return "null";
  }
  Device& d = device();
  for (std::size_t i = 0; i < d.tasks_created; ++i) {
    if (task == &d.tasks[i]) {
      return "task " + std::to_string(i + 1);
    }
  }
  return "unknown task";
}

std::string Text(const char* s) {
  return s == nullptr ? "null" : '"' + std::string(s) + '"';
}
std::string Pointer(const void* p) {
  return p == nullptr ? "null" : "ptr";
}

std::string Number(float64 value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string Bytes(const uInt8* bytes) {
  if (bytes == nullptr) {
    return "null";
  }
  std::string text = "[";
  for (int i = 0; i < 8; ++i) {
    text += (i ? " " : "") + std::to_string(bytes[i]);
  }
  return text + "]";
}

// Flushed line by line, so that whatever ends the process the calls made so far are in the file.
std::FILE* CallLog() {
  static std::FILE* const file = [] {
    const char* path = std::getenv("SIMULATED_DRIVER_CALL_LOG");
    return path != nullptr && *path != '\0' ? std::fopen(path, "a") : nullptr;
  }();
  return file;
}

// Room for any call's text, beyond what the allocator keeps at hand for each thread: like a real
// driver's, a call needs the allocator's lock.
constexpr std::size_t kCallRoom = 4096;

// When each perch read came, in microseconds on the steady clock, one line each, in the file
// SIMULATED_DRIVER_READ_TIMES names: a test of the program's pace reads it.
void NoteReadTime() {
  static std::FILE* const file = [] {
    const char* path = std::getenv("SIMULATED_DRIVER_READ_TIMES");
    return path != nullptr && *path != '\0' ? std::fopen(path, "a") : nullptr;
  }();
  if (file != nullptr) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto micro = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    std::fputs((std::to_string(micro) + "\n").c_str(), file);
    std::fflush(file);
  }
}

template <typename... Parts>
void Record(const char* function, const Parts&... parts) {
  std::string call;
  call.reserve(kCallRoom);
  call = function;
  call += '(';
  const char* separator = "";
  ((call += separator, call += parts, separator = ", "), ...);
  call += ')';
  if (std::FILE* log = CallLog()) {
    std::fprintf(log, "%s\n", call.c_str());
    std::fflush(log);
  }
  device().calls.push_back(std::move(call));
}

int32 RefusalFromList(const char* function) {
  auto& failures = device().failures;
  const auto found = failures.find(function);
  if (found == failures.end()) {
    return 0;
  }
  const int32 status = found->second.status;
  if (--found->second.calls_left <= 0) {
    failures.erase(found);
  }
  return status;
}

// The status a call told to fail returns instead of doing its work, or 0. The quiet path is one
// test, so that a measured call costs what it did before calls could be told to fail.
inline int32 Refusal(const char* function) {
  return device().failures.empty() ? 0 : RefusalFromList(function);
}

// Holds the call up for as long as it was told to take.
void TakeTime(const char* function) {
  auto& slow = device().slow_calls;
  if (slow.empty()) {
    return;
  }
  const auto found = slow.find(function);
  if (found == slow.end()) {
    return;
  }
  const int32 milliseconds = found->second.milliseconds;
  if (--found->second.calls_left <= 0) {
    slow.erase(found);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Unused by a driver built without the watchdog's functions.
[[maybe_unused]] bool IsWatchdog(TaskHandle task) {
  return Known(task) && static_cast<Task*>(task)->watchdog;
}

int32 ChannelOn(TaskHandle task, const char* function, const char lines[], const char name[],
                int32 line_grouping) {
  if (Recording()) {
    Record(function, Name(task), Text(lines), Text(name), std::to_string(line_grouping));
  }
  if (const int32 status = Refusal(function)) {
    return status;
  }
  return Known(task) ? 0 : kInvalidTask;
}

struct StatusText {
  int32 status;
  const char* text;
};

// The simulated driver's own words for the statuses it returns or is told to return.
constexpr StatusText kStatusTexts[] = {
    {kInvalidTask, "The task is not known to the simulated driver."},
    {kBufferTooSmall, "The read buffer is too small for one sample of every line."},
    {-200220, "No device of that name is connected to the simulated driver."},
    {-200279, "The simulated device lost samples: it was read too late."},
    {-50405, "The simulated device is not connected any more."},
    {kWatchdogNotSupported, "The simulated device has no watchdog timer."},
    {kWatchdogExpired,
     "The watchdog timer has expired; its lines keep their expiry levels until it is cleared."},
    {kWatchdogFileFailed, "The file of the simulated watchdog's lines could not be made."},
};

}  // namespace

extern "C" {

int32 ORVANE_DAQ_CALL DAQmxCreateTask(const char task_name[], TaskHandle* task) {
  const std::lock_guard lock(DriverMutex());
  Device& d = device();
  if (const int32 status = Refusal("DAQmxCreateTask")) {
    if (Recording()) {
      Record("DAQmxCreateTask", Text(task_name), Pointer(task));
    }
    return status;
  }
  if (task != nullptr && d.tasks_created < d.tasks.size()) {
    d.tasks[d.tasks_created].in_use = true;
    *task = &d.tasks[d.tasks_created++];
  }
  if (Recording()) {
    Record("DAQmxCreateTask", Text(task_name), Pointer(task));
  }
  return task != nullptr ? 0 : kInvalidTask;
}

int32 ORVANE_DAQ_CALL DAQmxCreateDOChan(TaskHandle task, const char lines[], const char name[],
                                        int32 line_grouping) {
  const std::lock_guard lock(DriverMutex());
  return ChannelOn(task, "DAQmxCreateDOChan", lines, name, line_grouping);
}

int32 ORVANE_DAQ_CALL DAQmxCreateDIChan(TaskHandle task, const char lines[], const char name[],
                                        int32 line_grouping) {
  const std::lock_guard lock(DriverMutex());
  return ChannelOn(task, "DAQmxCreateDIChan", lines, name, line_grouping);
}

int32 ORVANE_DAQ_CALL DAQmxStartTask(TaskHandle task) {
  const std::lock_guard lock(DriverMutex());
  if (Recording()) {
    Record("DAQmxStartTask", Name(task));
  }
  if (const int32 status = Refusal("DAQmxStartTask")) {
    return status;
  }
#if !defined(_WIN32)
  if (IsWatchdog(task) && device().watchdog) {
    device().watchdog->Start();
  }
#endif
  return Known(task) ? 0 : kInvalidTask;
}

int32 ORVANE_DAQ_CALL DAQmxReadDigitalLines(TaskHandle task, int32 samples_per_channel,
                                            float64 timeout, bool32 fill_mode, uInt8 read_array[],
                                            uInt32 array_size_in_bytes,
                                            int32* samples_per_channel_read,
                                            int32* bytes_per_sample, bool32* reserved) {
  const std::lock_guard lock(DriverMutex());
  Device& d = device();
  NoteReadTime();
  if (Recording()) {
    Record("DAQmxReadDigitalLines", Name(task), std::to_string(samples_per_channel),
           Number(timeout), std::to_string(fill_mode), Pointer(read_array),
           std::to_string(array_size_in_bytes), Pointer(samples_per_channel_read),
           Pointer(bytes_per_sample), Pointer(reserved));
  }
  Read read;
  read.levels = d.port2_levels;
  if (!d.script.empty()) {
    read = d.script.front();
    d.script.pop_front();
  }
  if (const int32 status = Refusal("DAQmxReadDigitalLines")) {
    return status;
  }
  if (!Known(task)) {
    return kInvalidTask;
  }
  if (read.fails) {
    return read.status;
  }
  if (read_array == nullptr || array_size_in_bytes < read.levels.size()) {
    return kBufferTooSmall;
  }
  d.port2_levels = read.levels;
  for (std::size_t line = 0; line < read.levels.size(); ++line) {
    read_array[line] = read.levels[line];
  }
  if (samples_per_channel_read != nullptr) {
    *samples_per_channel_read = 1;
  }
  if (bytes_per_sample != nullptr) {
    *bytes_per_sample = 1;
  }
  return 0;
}

int32 ORVANE_DAQ_CALL DAQmxWriteDigitalLines(TaskHandle task, int32 samples_per_channel,
                                             bool32 auto_start, float64 timeout, bool32 data_layout,
                                             const uInt8 write_array[],
                                             int32* samples_per_channel_written, bool32* reserved) {
  const std::lock_guard lock(DriverMutex());
  if (Recording()) {
    Record("DAQmxWriteDigitalLines", Name(task), std::to_string(samples_per_channel),
           std::to_string(auto_start), Number(timeout), std::to_string(data_layout),
           Bytes(write_array), Pointer(samples_per_channel_written), Pointer(reserved));
  }
  TakeTime("DAQmxWriteDigitalLines");
  if (const int32 status = Refusal("DAQmxWriteDigitalLines")) {
    return status;
  }
  if (!Known(task) || write_array == nullptr) {
    return kInvalidTask;
  }
  Device& d = device();
  std::array<uInt8, 8> levels{};
  std::memcpy(levels.data(), write_array, levels.size());
#if !defined(_WIN32)
  if (d.watchdog && !d.watchdog->Write(levels)) {
    return kWatchdogExpired;
  }
#endif
  d.port0_levels = levels;
  if (samples_per_channel_written != nullptr) {
    *samples_per_channel_written = 1;
  }
  return 0;
}

int32 ORVANE_DAQ_CALL DAQmxStopTask(TaskHandle task) {
  const std::lock_guard lock(DriverMutex());
  if (Recording()) {
    Record("DAQmxStopTask", Name(task));
  }
  if (const int32 status = Refusal("DAQmxStopTask")) {
    return status;
  }
#if !defined(_WIN32)
  if (IsWatchdog(task) && device().watchdog) {
    device().watchdog->Stop();
  }
#endif
  return Known(task) ? 0 : kInvalidTask;
}

#ifndef SIMULATED_DRIVER_WITHOUT_CLEAR_TASK
int32 ORVANE_DAQ_CALL DAQmxClearTask(TaskHandle task) {
  const std::lock_guard lock(DriverMutex());
  if (Recording()) {
    Record("DAQmxClearTask", Name(task));
  }
  if (const int32 status = Refusal("DAQmxClearTask")) {
    return status;
  }
  if (!Known(task)) {
    return kInvalidTask;
  }
#if !defined(_WIN32)
  if (IsWatchdog(task)) {
    device().watchdog.reset();
  }
#endif
  static_cast<Task*>(task)->in_use = false;
  return 0;
}
#endif

#ifndef SIMULATED_DRIVER_WITHOUT_WATCHDOG
int32 ORVANE_DAQ_CALL DAQmxCreateWatchdogTimerTaskEx(const char device_name[],
                                                     const char task_name[], TaskHandle* task,
                                                     float64 timeout) {
  const std::lock_guard lock(DriverMutex());
  if (Recording()) {
    Record("DAQmxCreateWatchdogTimerTaskEx", Text(device_name), Text(task_name), Pointer(task),
           Number(timeout));
  }
  if (const int32 status = Refusal("DAQmxCreateWatchdogTimerTaskEx")) {
    return status;
  }
  if (device_name == nullptr || std::strcmp(device_name, "Dev1") != 0) {
    return kNoSuchDevice;
  }
#if defined(_WIN32)
  (void)task;
  (void)timeout;
  return kWatchdogNotSupported;
#else
  const char* path = std::getenv("SIMULATED_DRIVER_WATCHDOG_LINES");
  Device& d = device();
  if (path == nullptr || *path == '\0') {
    return kWatchdogNotSupported;
  }
  if (task == nullptr || d.tasks_created == d.tasks.size()) {
    return kInvalidTask;
  }
  d.watchdog = WatchdogCircuit::Create(path, d.port0_levels, timeout);
  if (!d.watchdog) {
    return kWatchdogFileFailed;
  }
  Task& created = d.tasks[d.tasks_created++];
  created.in_use = true;
  created.watchdog = true;
  *task = &created;
  return 0;
#endif
}

int32 ORVANE_DAQ_CALL DAQmxCfgWatchdogDOExpirStates(TaskHandle task, const char channel_names[],
                                                    const int32 expir_state_array[],
                                                    uInt32 array_size) {
  const std::lock_guard lock(DriverMutex());
  if (Recording()) {
    std::string states = "[";
    for (uInt32 i = 0; expir_state_array != nullptr && i < array_size; ++i) {
      states += (i ? " " : "") + std::to_string(expir_state_array[i]);
    }
    Record("DAQmxCfgWatchdogDOExpirStates", Name(task), Text(channel_names), states + "]",
           std::to_string(array_size));
  }
  if (const int32 status = Refusal("DAQmxCfgWatchdogDOExpirStates")) {
    return status;
  }
  if (!IsWatchdog(task)) {
    return kInvalidTask;
  }
  // One state per line of the port's one channel.
  if (channel_names == nullptr || std::strcmp(channel_names, kPort0Lines) != 0 ||
      expir_state_array == nullptr || array_size != 8) {
    return kNoSuchDevice;
  }
#if !defined(_WIN32)
  WatchdogCircuit::Levels levels{};
  for (std::size_t line = 0; line < levels.size(); ++line) {
    levels[line] = expir_state_array[line] == kLineLow ? 0 : 1;
  }
  device().watchdog->SetExpiryLevels(levels);
#endif
  return 0;
}

int32 ORVANE_DAQ_CALL DAQmxControlWatchdogTask(TaskHandle task, int32 action) {
  const std::lock_guard lock(DriverMutex());
  if (Recording()) {
    Record("DAQmxControlWatchdogTask", Name(task), std::to_string(action));
  }
  if (const int32 status = Refusal("DAQmxControlWatchdogTask")) {
    return status;
  }
  if (!IsWatchdog(task)) {
    return kInvalidTask;
  }
#if !defined(_WIN32)
  if (action == kWatchdogResetTimer) {
    device().watchdog->Reset();
  } else if (action == kWatchdogClearExpiration) {
    device().watchdog->ClearExpiration();
  }
#endif
  return 0;
}

int32 ORVANE_DAQ_CALL DAQmxGetWatchdogHasExpired(TaskHandle task, bool32* data) {
  const std::lock_guard lock(DriverMutex());
  if (Recording()) {
    Record("DAQmxGetWatchdogHasExpired", Name(task), Pointer(data));
  }
  if (const int32 status = Refusal("DAQmxGetWatchdogHasExpired")) {
    return status;
  }
  if (!IsWatchdog(task) || data == nullptr) {
    return kInvalidTask;
  }
#if !defined(_WIN32)
  *data = device().watchdog->Expired() ? 1 : 0;
#endif
  return 0;
}
#endif

#ifndef SIMULATED_DRIVER_WITHOUT_ERROR_TEXT
int32 ORVANE_DAQ_CALL DAQmxGetErrorString(int32 status, char text[], uInt32 text_size) {
  if (text == nullptr || text_size == 0) {
    return kBufferTooSmall;
  }
  const char* words = "The simulated driver has no text for this status.";
  for (const StatusText& known : kStatusTexts) {
    if (known.status == status) {
      words = known.text;
    }
  }
  std::snprintf(text, text_size, "%s", words);
  return 0;
}
#endif

void SimulatedDriverReset() {
  const std::lock_guard lock(DriverMutex());
  device() = Device{};
}

void SimulatedDriverScriptRead(const uInt8 levels[8]) {
  const std::lock_guard lock(DriverMutex());
  Read read;
  for (std::size_t line = 0; line < read.levels.size(); ++line) {
    read.levels[line] = levels[line];
  }
  device().script.push_back(read);
}

void SimulatedDriverScriptFailedRead(int32 status) {
  const std::lock_guard lock(DriverMutex());
  Read read;
  read.fails = true;
  read.status = status;
  device().script.push_back(read);
}

void SimulatedDriverFailCalls(const char* function, int32 status, int32 count) {
  const std::lock_guard lock(DriverMutex());
  if (function != nullptr && count > 0) {
    device().failures[function] = Failure{status, count};
  }
}

void SimulatedDriverSlowCalls(const char* function, int32 milliseconds, int32 count) {
  const std::lock_guard lock(DriverMutex());
  if (function != nullptr && count > 0) {
    device().slow_calls[function] = Slowness{milliseconds, count};
  }
}

void SimulatedDriverSetRecording(bool32 on) {
  const std::lock_guard lock(DriverMutex());
  device().recording = on != 0;
}

int32 SimulatedDriverCallCount() {
  const std::lock_guard lock(DriverMutex());
  return static_cast<int32>(device().calls.size());
}

const char* SimulatedDriverCall(int32 index) {
  const std::lock_guard lock(DriverMutex());
  const auto& calls = device().calls;
  if (index < 0 || static_cast<std::size_t>(index) >= calls.size()) {
    return nullptr;
  }
  return calls[static_cast<std::size_t>(index)].c_str();
}

}  // extern "C"

// The eight must match the declarations the program binds them through.
template <typename Declared>
constexpr bool Matches(Declared) {
  return true;
}
static_assert(Matches<CreateTaskFunction>(&DAQmxCreateTask));
static_assert(Matches<CreateChannelFunction>(&DAQmxCreateDOChan));
static_assert(Matches<CreateChannelFunction>(&DAQmxCreateDIChan));
static_assert(Matches<TaskFunction>(&DAQmxStartTask));
static_assert(Matches<ReadDigitalLinesFunction>(&DAQmxReadDigitalLines));
static_assert(Matches<WriteDigitalLinesFunction>(&DAQmxWriteDigitalLines));
static_assert(Matches<TaskFunction>(&DAQmxStopTask));
#ifndef SIMULATED_DRIVER_WITHOUT_CLEAR_TASK
static_assert(Matches<TaskFunction>(&DAQmxClearTask));
#endif
#ifndef SIMULATED_DRIVER_WITHOUT_ERROR_TEXT
static_assert(Matches<GetErrorStringFunction>(&DAQmxGetErrorString));
#endif
#ifndef SIMULATED_DRIVER_WITHOUT_WATCHDOG
static_assert(Matches<CreateWatchdogFunction>(&DAQmxCreateWatchdogTimerTaskEx));
static_assert(Matches<CfgWatchdogDOExpirStatesFunction>(&DAQmxCfgWatchdogDOExpirStates));
static_assert(Matches<ControlWatchdogFunction>(&DAQmxControlWatchdogTask));
static_assert(Matches<GetWatchdogHasExpiredFunction>(&DAQmxGetWatchdogHasExpired));
#endif
