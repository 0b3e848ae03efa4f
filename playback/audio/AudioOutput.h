#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orvane {

// How one song's streams have fared, kept by the song and counted by whichever stream it has
// open; any thread may read them. Nothing that goes wrong on the way to the device passes unseen.
struct StreamCounters {
  std::atomic<std::int64_t> sounded{0};  // frames the device took from its buffer, all runs
  // Frames a device that asks for them wanted and did not get; one that is written ahead only
  // tells that it ran dry.
  std::atomic<std::uint64_t> owed{0};
  std::atomic<std::uint64_t> underflows{0};  // times the device ran dry
};

struct StreamFormat {
  int channels = 0;
  double sample_rate = 0;
};

// An output stream that is written ahead: what it holds sounds in the order written, and it
// holds up to CapacityFrames(), which is also how long it rides out a writer that falls behind.
// It is stopped when opened. Its calls may wait on the sound server, so one thread at a time
// makes them, never the window's; destroying it stops and closes it.
class OutputStream {
 public:
  virtual ~OutputStream() = default;

  virtual double SampleRate() const = 0;
  virtual std::int64_t CapacityFrames() const = 0;

  // Readies the stream for a run whose first frame is the first written after it; the sound
  // starts as soon as frames are written. A result code, 0 on success.
  virtual int Start() = 0;
  // Room for frames now, without waiting; a negative result code when the stream failed.
  virtual std::int64_t WritableFrames() = 0;
  // Appends at most WritableFrames() frames; a result code, 0 on success.
  virtual int Write(const float* samples, std::size_t frames) = 0;
  // Silences at once, dropping what the stream holds; a result code.
  virtual int Stop() = 0;
};

struct OpenedStream {
  int result = 0;
  std::unique_ptr<OutputStream> stream;  // null when the open failed
};

// The default output device. Its calls may wait on the sound server: the sound side makes them,
// never the window's thread.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Makes the device ready for its first stream (finding the devices may take a while).
  virtual void Prepare() {}
  // The most channels a stream of the device can carry.
  virtual int MaxChannels() = 0;
  // The stream runs at the requested rate when the device takes it, else at the device's own.
  // It counts into `counters`, which outlive it.
  virtual OpenedStream OpenStream(const StreamFormat& format, StreamCounters& counters) = 0;
  // Result codes of this device are negative; nothing for a code it does not know.
  virtual std::optional<std::string> ErrorText(int result) const = 0;

  // The list of devices is built once, as PortAudio builds it. Whether the system's default output
  // is no longer the one the list names, so that new streams would go to the old one.
  virtual bool ListOutdated() { return false; }
  // Whether an open that failed with this result may succeed on a list built anew: its device
  // vanished, or came back elsewhere.
  virtual bool ListMayBeStale(int /*result*/) { return false; }
  // Builds the list anew; only while no stream of the device is open. False when it could not.
  virtual bool Rebuild() { return false; }
};

}  // namespace orvane
