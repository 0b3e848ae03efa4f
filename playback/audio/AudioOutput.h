#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orvane {

// Fills the device's buffer on the audio thread: interleaved 32-bit float frames. It must not
// block, allocate or take a lock.
class RenderSource {
 public:
  virtual ~RenderSource() = default;

  // Returns how many of the frames it owed it had not ready (they went out as silence).
  virtual std::size_t Render(float* out, std::size_t frames) noexcept = 0;
};

// Buffers of all of a device's streams that did not sound as they should, counted since the
// device was constructed. Nothing that goes wrong on the audio thread passes unseen.
struct Underruns {
  std::uint64_t starved = 0;  // a source had fewer frames ready than it owed
  std::uint64_t late = 0;     // the device ran dry before a buffer was ready
};

struct StreamFormat {
  int channels = 0;
  double sample_rate = 0;
};

// A running output stream; destroying it stops and closes it, after which Render is not called.
class OutputStream {
 public:
  virtual ~OutputStream() = default;

  virtual double SampleRate() const = 0;
  virtual double OutputLatencySeconds() const = 0;
};

struct OpenedStream {
  int result = 0;
  std::unique_ptr<OutputStream> stream;  // null when the open failed
};

// The default output device: opens a started stream that pulls frames from a source.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // The stream runs at the requested rate when the device takes it, else at the device's own.
  virtual OpenedStream OpenStream(const StreamFormat& format, RenderSource& source) = 0;
  // Result codes of this device are negative; nothing for a code it does not know.
  virtual std::optional<std::string> ErrorText(int result) const = 0;
  virtual Underruns Counted() const = 0;
};

}  // namespace orvane
