#include "playback/audio/PortAudioOutput.h"

#include <portaudio.h>

#include <algorithm>
#include <cstring>

#include "playback/audio/platform/SoundLibraries.h"
#include "playback/platform/OutputDevice.h"

namespace orvane {

namespace {

struct CallbackContext {
  RenderSource& source;
  PortAudioOutput::Counters& counters;
};

int RenderCallback(const void* /*input*/, void* output, unsigned long frames,
                   const PaStreamCallbackTimeInfo* /*time*/, PaStreamCallbackFlags flags,
                   void* user) {
  auto& context = *static_cast<CallbackContext*>(user);
  if ((flags & paOutputUnderflow) != 0) {
    context.counters.late.fetch_add(1, std::memory_order_relaxed);
  }
  if (context.source.Render(static_cast<float*>(output), frames) > 0) {
    context.counters.starved.fetch_add(1, std::memory_order_relaxed);
  }
  return paContinue;
}

class PortAudioStream final : public OutputStream {
 public:
  PortAudioStream(RenderSource& source, PortAudioOutput::Counters& counters)
      : context_{source, counters} {}
  ~PortAudioStream() override {
    if (stream_ != nullptr) {
      // Dropping what the device still holds silences at once; a drain could block for long.
      Pa_AbortStream(stream_);
      Pa_CloseStream(stream_);
    }
  }
  PortAudioStream(const PortAudioStream&) = delete;
  PortAudioStream& operator=(const PortAudioStream&) = delete;

  PaError Open(const PaStreamParameters& parameters, double rate) {
    PaStream* stream = nullptr;
    PaError result = paNoError;
    OpenWithRealtimeHelpers([&] {
      result = Pa_OpenStream(&stream, nullptr, &parameters, rate, paFramesPerBufferUnspecified,
                             paClipOff, RenderCallback, &context_);
    });
    if (result == paNoError) {
      stream_ = stream;
      RequestRealtimeCallback(stream_);
    }
    return result;
  }
  // The stream runs from the open on, so that a play request costs no device start.
  PaError Start() { return Pa_StartStream(stream_); }

  double SampleRate() const override {
    const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
    return info != nullptr ? info->sampleRate : 0;
  }
  double OutputLatencySeconds() const override {
    const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
    return info != nullptr ? info->outputLatency : 0;
  }

 private:
  CallbackContext context_;  // the callback's, for as long as the stream is open
  PaStream* stream_ = nullptr;
};

PaError InitialiseQuietly() {
  QuietSoundLibraries();
  return Pa_Initialize();
}

}  // namespace

PortAudioOutput::PortAudioOutput(double suggested_latency_seconds)
    : suggested_latency_(suggested_latency_seconds), initialised_(InitialiseQuietly()) {}

PortAudioOutput::~PortAudioOutput() {
  if (initialised_ == paNoError) {
    Pa_Terminate();
  }
}

OpenedStream PortAudioOutput::OpenStream(const StreamFormat& format, RenderSource& source) {
  if (initialised_ != paNoError) {
    return {initialised_, nullptr};
  }
  const PaDeviceIndex device = PreferredOutputDevice();
  const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
  if (info == nullptr) {
    return {paDeviceUnavailable, nullptr};
  }
  PaStreamParameters parameters{};
  parameters.device = device;
  parameters.channelCount = format.channels;
  parameters.sampleFormat = paFloat32;
  parameters.suggestedLatency = std::max(suggested_latency_, info->defaultLowOutputLatency);
  double rate = format.sample_rate;
  if (Pa_IsFormatSupported(nullptr, &parameters, rate) == paInvalidSampleRate) {
    rate = info->defaultSampleRate;
  }
  auto stream = std::make_unique<PortAudioStream>(source, counters_);
  PaError result = stream->Open(parameters, rate);
  if (result == paNoError) {
    result = stream->Start();
  }
  if (result != paNoError) {
    return {result, nullptr};
  }
  return {paNoError, std::move(stream)};
}

std::optional<std::string> PortAudioOutput::ErrorText(int result) const {
  const char* text = Pa_GetErrorText(result);
  if (text == nullptr || std::strcmp(text, "Invalid error code") == 0) {
    return std::nullopt;
  }
  return "The sound device failed: " + std::string(text);
}

Underruns PortAudioOutput::Counted() const {
  return {counters_.starved.load(std::memory_order_relaxed),
          counters_.late.load(std::memory_order_relaxed)};
}

}  // namespace orvane
