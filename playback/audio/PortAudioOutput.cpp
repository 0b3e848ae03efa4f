#include "playback/audio/PortAudioOutput.h"

#include <portaudio.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "playback/audio/platform/SoundLibraries.h"
#include "playback/platform/OutputDevice.h"

namespace orvane {

namespace {

// A stream the song's thread writes, with no callback.
PaError OpenBlocking(PaStream*& stream, const PaStreamParameters& parameters, double rate) {
  PaError result = paNoError;
  OpenWithRealtimeHelpers([&] {
    result = Pa_OpenStream(&stream, nullptr, &parameters, rate, paFramesPerBufferUnspecified,
                           paClipOff, nullptr, nullptr);
  });
  return result;
}

class PortAudioStream final : public OutputStream {
 public:
  PortAudioStream(PaStream* stream, const PaStreamParameters& parameters, double open_rate,
                  StreamCounters& counters, std::mutex& library, std::size_t& open_streams,
                  double held_ahead)
      : stream_(stream),
        parameters_(parameters),
        open_rate_(open_rate),
        counters_(counters),
        library_(library),
        open_streams_(open_streams) {
    ++open_streams_;
    const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
    rate_ = info != nullptr ? info->sampleRate : 0;
    // A stopped stream has all of its buffer free; a host that cannot tell gives its latency.
    buffer_ = Pa_GetStreamWriteAvailable(stream_);
    if (buffer_ <= 0 && info != nullptr) {
      buffer_ = static_cast<std::int64_t>(info->outputLatency * rate_);
    }
    capacity_ = std::min(buffer_, static_cast<std::int64_t>(held_ahead * rate_));
  }
  ~PortAudioStream() override {
    std::lock_guard lock(library_);
    --open_streams_;
    if (stream_ == nullptr) {
      return;
    }
    // Dropping what the device still holds silences at once; a drain could wait for long.
    if (Pa_IsStreamStopped(stream_) == 0) {
      Pa_AbortStream(stream_);
    }
    Pa_CloseStream(stream_);
  }
  PortAudioStream(const PortAudioStream&) = delete;
  PortAudioStream& operator=(const PortAudioStream&) = delete;

  double SampleRate() const override { return rate_; }
  std::int64_t CapacityFrames() const override { return capacity_; }

  int Start() override {
    if (stream_ == nullptr) {
      return reopen_failure_;
    }
    if (Pa_IsStreamStopped(stream_) == 0) {
      Pa_AbortStream(stream_);
    }
    written_ = 0;
    counted_ = 0;
    return Pa_StartStream(stream_);
  }

  std::int64_t WritableFrames() override {
    if (stream_ == nullptr) {
      return reopen_failure_;
    }
    const long free = Pa_GetStreamWriteAvailable(stream_);
    if (free < 0) {
      return free;
    }
    const std::int64_t held = CountSounded(std::min<std::int64_t>(free, buffer_));
    return std::clamp<std::int64_t>(capacity_ - held, 0, free);
  }

  int Write(const float* samples, std::size_t frames) override {
    if (stream_ == nullptr) {
      return reopen_failure_;
    }
    PaError result = Pa_WriteStream(stream_, samples, static_cast<unsigned long>(frames));
    if (result == paOutputUnderflowed) {
      // The device ran dry before these frames came; they are written all the same.
      counters_.underflows.fetch_add(1, std::memory_order_relaxed);
      result = paNoError;
    }
    if (result == paNoError) {
      written_ += static_cast<std::int64_t>(frames);
    }
    return result;
  }

  int Stop() override {
    if (stream_ == nullptr) {
      return reopen_failure_;
    }
    const PaError stopped = Pa_AbortStream(stream_);
    if (stopped != paNoError || !StopKeepsHostBuffer()) {
      return stopped;
    }
    // The host would sound what its buffer still holds, the silence after a song among it, before
    // the next run's first frame: a stream opened anew holds nothing.
    std::lock_guard lock(library_);
    Pa_CloseStream(stream_);
    stream_ = nullptr;
    PaStream* fresh = nullptr;
    const PaError opened = OpenBlocking(fresh, parameters_, open_rate_);
    if (opened != paNoError) {
      reopen_failure_ = opened;
      return opened;
    }
    stream_ = fresh;
    return paNoError;
  }

 private:
  // What has left the buffer since the start has reached the sound server or the device; what
  // the buffer still holds is returned.
  std::int64_t CountSounded(std::int64_t free) {
    const std::int64_t held = std::clamp<std::int64_t>(buffer_ - free, 0, written_);
    const std::int64_t sounded = written_ - held;
    if (sounded > counted_) {
      counters_.sounded.fetch_add(sounded - counted_, std::memory_order_relaxed);
      counted_ = sounded;
    }
    return held;
  }

  PaStream* stream_;  // null once a reopen failed
  PaStreamParameters parameters_;
  double open_rate_;
  PaError reopen_failure_ = paNoError;
  StreamCounters& counters_;
  std::mutex& library_;
  std::size_t& open_streams_;  // guarded by library_
  double rate_ = 0;
  std::int64_t buffer_ = 0;    // the host's whole buffer
  std::int64_t capacity_ = 0;  // the part of it that is filled
  std::int64_t written_ = 0;   // since the start
  std::int64_t counted_ = 0;   // of those, counted as sounded
};

}  // namespace

PortAudioOutput::PortAudioOutput(double held_ahead_seconds) : held_ahead_(held_ahead_seconds) {}

PortAudioOutput::~PortAudioOutput() {
  std::lock_guard lock(library_);
  if (initialised_ == paNoError) {
    Pa_Terminate();
  }
}

int PortAudioOutput::InitialisedLocked() {
  if (!initialised_) {
    QuietSoundLibraries();
    initialised_ = Pa_Initialize();
    if (initialised_ == paNoError) {
      ConfigureHostBuffers();
    }
    listed_default_ = DefaultOutputIdentity();
  }
  return *initialised_;
}

bool PortAudioOutput::ListOutdated() {
  std::lock_guard lock(library_);
  return initialised_ && DefaultOutputIdentity() != listed_default_;
}

bool PortAudioOutput::ListMayBeStale(int result) {
  switch (result) {
    // The format's own faults; a list built anew changes nothing for them.
    case paInvalidSampleRate:
    case paInvalidChannelCount:
    case paSampleFormatNotSupported:
    case paInsufficientMemory:
      return false;
    default:
      return result < 0;
  }
}

bool PortAudioOutput::Rebuild() {
  std::lock_guard lock(library_);
  // PortAudio closes whatever stream is still open as it terminates.
  if (open_streams_ > 0) {
    return false;
  }
  if (initialised_ == paNoError) {
    Pa_Terminate();
  }
  initialised_.reset();
  return InitialisedLocked() == paNoError;
}

void PortAudioOutput::Prepare() {
  std::lock_guard lock(library_);
  InitialisedLocked();
}

int PortAudioOutput::MaxChannels() {
  std::lock_guard lock(library_);
  if (InitialisedLocked() != paNoError) {
    return 0;
  }
  const PaDeviceIndex device = PreferredOutputDevice();
  const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
  return info != nullptr ? info->maxOutputChannels : 0;
}

OpenedStream PortAudioOutput::OpenStream(const StreamFormat& format, StreamCounters& counters) {
  std::lock_guard lock(library_);
  if (const int initialised = InitialisedLocked(); initialised != paNoError) {
    return {initialised, nullptr};
  }
  const PaDeviceIndex device = PreferredOutputDevice();
  const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
  {
    std::lock_guard name_lock(name_mutex_);
    device_name_ = info != nullptr && info->name != nullptr ? info->name : "";
  }
  if (info == nullptr) {
    return {paDeviceUnavailable, nullptr};
  }
  PaStreamParameters parameters{};
  parameters.device = device;
  parameters.channelCount = format.channels;
  parameters.sampleFormat = paFloat32;
  parameters.suggestedLatency =
      std::max(HostBufferSeconds(held_ahead_), info->defaultHighOutputLatency);
  double rate = format.sample_rate;
  if (Pa_IsFormatSupported(nullptr, &parameters, rate) == paInvalidSampleRate) {
    rate = info->defaultSampleRate;
  }
  PaStream* stream = nullptr;
  const PaError result = OpenBlocking(stream, parameters, rate);
  if (result != paNoError) {
    return {result, nullptr};
  }
  return {paNoError, std::make_unique<PortAudioStream>(stream, parameters, rate, counters, library_,
                                                       open_streams_, held_ahead_)};
}

std::optional<std::string> PortAudioOutput::ErrorText(int result) const {
  switch (result) {
    // What a stream opened anew meets when its device or sound server has gone: PortAudio's own
    // words for it ("Illegal combination of I/O devices") would only puzzle the experimenter.
    case paDeviceUnavailable:
    case paBadIODeviceCombination:
    case paInvalidDevice: {
      std::lock_guard lock(name_mutex_);
      const std::string device = device_name_.empty() ? "" : " \"" + device_name_ + "\"";
      return "The sound device" + device +
             " is not available: it may have been unplugged, or the system's sound service "
             "stopped";
    }
    default:
      break;
  }
  const char* text = Pa_GetErrorText(result);
  if (text == nullptr || std::strcmp(text, "Invalid error code") == 0) {
    return std::nullopt;
  }
  return "The sound device failed: " + std::string(text);
}

}  // namespace orvane
