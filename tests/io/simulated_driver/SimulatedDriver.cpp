// A stand-in for the acquisition driver library: one device whose port 2 lines are scripted
// read by read and whose port 0 lines keep the last pattern written. Every call is recorded as
// text with all its arguments, and also appended to the file SIMULATED_DRIVER_CALL_LOG names, so
// that a test can follow a program run in a process of its own. Any function can be told to fail.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "io/DaqInterface.h"
#include "tests/io/simulated_driver/SimulatedDriverControl.h"

using namespace orvane::daq;

namespace {

constexpr int32 kInvalidTask = -200088;
constexpr int32 kBufferTooSmall = -200229;

struct Read {
  bool fails = false;
  int32 status = 0;
  std::array<uInt8, 8> levels{};
};

struct Task {
  bool in_use = false;
};

struct Failure {
  int32 status = 0;
  int32 calls_left = 0;
};

// One simulated device for the whole process, as the real driver has.
struct Device {
  std::array<Task, 64> tasks{};
  std::size_t tasks_created = 0;
  std::array<uInt8, 8> port2_levels{1, 1, 1, 1, 1, 1, 1, 1};
  std::array<uInt8, 8> port0_levels{};
  std::deque<Read> script;
  std::vector<std::string> calls;
  bool recording = true;
  // By function name; empty on the quiet path, so that a call costs no look-up there.
  std::map<std::string, Failure, std::less<>> failures;
};

Device& device() {
  static Device instance;
  return instance;
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

template <typename... Parts>
void Record(const char* function, const Parts&... parts) {
  std::string call = function;
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
};

}  // namespace

extern "C" {

int32 ORVANE_DAQ_CALL DAQmxCreateTask(const char task_name[], TaskHandle* task) {
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
  return ChannelOn(task, "DAQmxCreateDOChan", lines, name, line_grouping);
}

int32 ORVANE_DAQ_CALL DAQmxCreateDIChan(TaskHandle task, const char lines[], const char name[],
                                        int32 line_grouping) {
  return ChannelOn(task, "DAQmxCreateDIChan", lines, name, line_grouping);
}

int32 ORVANE_DAQ_CALL DAQmxStartTask(TaskHandle task) {
  if (Recording()) {
    Record("DAQmxStartTask", Name(task));
  }
  if (const int32 status = Refusal("DAQmxStartTask")) {
    return status;
  }
  return Known(task) ? 0 : kInvalidTask;
}

int32 ORVANE_DAQ_CALL DAQmxReadDigitalLines(TaskHandle task, int32 samples_per_channel,
                                            float64 timeout, bool32 fill_mode, uInt8 read_array[],
                                            uInt32 array_size_in_bytes,
                                            int32* samples_per_channel_read,
                                            int32* bytes_per_sample, bool32* reserved) {
  Device& d = device();
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
  if (Recording()) {
    Record("DAQmxWriteDigitalLines", Name(task), std::to_string(samples_per_channel),
           std::to_string(auto_start), Number(timeout), std::to_string(data_layout),
           Bytes(write_array), Pointer(samples_per_channel_written), Pointer(reserved));
  }
  if (const int32 status = Refusal("DAQmxWriteDigitalLines")) {
    return status;
  }
  if (!Known(task) || write_array == nullptr) {
    return kInvalidTask;
  }
  Device& d = device();
  for (std::size_t line = 0; line < d.port0_levels.size(); ++line) {
    d.port0_levels[line] = write_array[line];
  }
  if (samples_per_channel_written != nullptr) {
    *samples_per_channel_written = 1;
  }
  return 0;
}

int32 ORVANE_DAQ_CALL DAQmxStopTask(TaskHandle task) {
  if (Recording()) {
    Record("DAQmxStopTask", Name(task));
  }
  if (const int32 status = Refusal("DAQmxStopTask")) {
    return status;
  }
  return Known(task) ? 0 : kInvalidTask;
}

#ifndef SIMULATED_DRIVER_WITHOUT_CLEAR_TASK
int32 ORVANE_DAQ_CALL DAQmxClearTask(TaskHandle task) {
  if (Recording()) {
    Record("DAQmxClearTask", Name(task));
  }
  if (const int32 status = Refusal("DAQmxClearTask")) {
    return status;
  }
  if (!Known(task)) {
    return kInvalidTask;
  }
  static_cast<Task*>(task)->in_use = false;
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
  device() = Device{};
}

void SimulatedDriverScriptRead(const uInt8 levels[8]) {
  Read read;
  for (std::size_t line = 0; line < read.levels.size(); ++line) {
    read.levels[line] = levels[line];
  }
  device().script.push_back(read);
}

void SimulatedDriverScriptFailedRead(int32 status) {
  Read read;
  read.fails = true;
  read.status = status;
  device().script.push_back(read);
}

void SimulatedDriverFailCalls(const char* function, int32 status, int32 count) {
  if (function != nullptr && count > 0) {
    device().failures[function] = Failure{status, count};
  }
}

void SimulatedDriverSetRecording(bool32 on) {
  device().recording = on != 0;
}

int32 SimulatedDriverCallCount() {
  return static_cast<int32>(device().calls.size());
}

const char* SimulatedDriverCall(int32 index) {
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
