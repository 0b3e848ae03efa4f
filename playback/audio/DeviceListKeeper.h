#pragma once

namespace orvane {

// Has the output's list of devices built anew, on the sound worker's thread, once no song holds
// a stream: PortAudio closes every stream as it stops, so a stream kept open would be used after.
class DeviceListKeeper {
 public:
  virtual ~DeviceListKeeper() = default;

  // Called by a song whose own stream is closed; waits a bounded time. False when the list could
  // not be built anew: another song still sounds, or its thread did not answer.
  virtual bool RebuildDeviceList() = 0;
};

}  // namespace orvane
