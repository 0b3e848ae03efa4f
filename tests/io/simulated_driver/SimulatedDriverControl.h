#pragma once

#include "io/DaqInterface.h"

// What the simulated driver library exports beside the eight driver functions, so that a test
// can script the device and read back every call it received.

extern "C" {
// Forgets every call, task and scripted read; all lines of port 2 read high; recording is on.
void SimulatedDriverReset();
// The next read finds these levels on lines 0..7 of port 2, which then hold them.
void SimulatedDriverScriptRead(const orvane::daq::uInt8 levels[8]);
// The next read returns this status and leaves the caller's buffer untouched.
void SimulatedDriverScriptFailedRead(orvane::daq::int32 status);
// The next `count` calls of the named driver function return `status` and do nothing else.
void SimulatedDriverFailCalls(const char* function, orvane::daq::int32 status,
                              orvane::daq::int32 count);
// The next `count` calls of the named driver function take `milliseconds` longer, as a slow
// device's would; other calls wait for them.
void SimulatedDriverSlowCalls(const char* function, orvane::daq::int32 milliseconds,
                              orvane::daq::int32 count);
// Off while measuring, so that the driver's own cost stays that of a real call's bookkeeping.
void SimulatedDriverSetRecording(orvane::daq::bool32 on);
orvane::daq::int32 SimulatedDriverCallCount();
// One received call with its arguments, e.g. `DAQmxStartTask(task 1)`; valid until the next reset.
const char* SimulatedDriverCall(orvane::daq::int32 index);
}
