#include "playback/audio/PortAudioOutput.h"

#include <portaudio.h>

#include <cstring>

namespace orvane {

namespace {

int RenderCallback(const void* /*input*/, void* output, unsigned long frames,
                   const PaStreamCallbackTimeInfo* /*time*/, PaStreamCallbackFlags /*flags*/,
                   void* source) {
  static_cast<RenderSource*>(source)->Render(static_cast<float*>(output), frames);
  return paContinue;
}

class PortAudioStream final : public OutputStream {
 public:
  explicit PortAudioStream(PaStream* stream) : stream_(stream) {}
  ~PortAudioStream() override {
    // Dropping what the device still holds silences at once; a drain could block for long.
    Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
  }
  PortAudioStream(const PortAudioStream&) = delete;
  PortAudioStream& operator=(const PortAudioStream&) = delete;

  double SampleRate() const override {
    const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
    return info != nullptr ? info->sampleRate : 0;
  }
  double OutputLatencySeconds() const override {
    const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
    return info != nullptr ? info->outputLatency : 0;
  }

 private:
  PaStream* stream_;
};

}  // namespace

PortAudioOutput::PortAudioOutput() : initialised_(Pa_Initialize()) {}

PortAudioOutput::~PortAudioOutput() {
  if (initialised_ == paNoError) {
    Pa_Terminate();
  }
}

OpenedStream PortAudioOutput::OpenStream(const StreamFormat& format, RenderSource& source) {
  if (initialised_ != paNoError) {
    return {initialised_, nullptr};
  }
  const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
  const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
  if (info == nullptr) {
    return {paDeviceUnavailable, nullptr};
  }
  PaStreamParameters parameters{};
  parameters.device = device;
  parameters.channelCount = format.channels;
  parameters.sampleFormat = paFloat32;
  parameters.suggestedLatency = info->defaultLowOutputLatency;
  double rate = format.sample_rate;
  if (Pa_IsFormatSupported(nullptr, &parameters, rate) == paInvalidSampleRate) {
    rate = info->defaultSampleRate;
  }
  PaStream* stream = nullptr;
  PaError result = Pa_OpenStream(&stream, nullptr, &parameters, rate, paFramesPerBufferUnspecified,
                                 paClipOff, RenderCallback, &source);
  if (result != paNoError) {
    return {result, nullptr};
  }
  // The stream runs from the open on, so that a play request costs no device start.
  result = Pa_StartStream(stream);
  if (result != paNoError) {
    Pa_CloseStream(stream);
    return {result, nullptr};
  }
  return {paNoError, std::make_unique<PortAudioStream>(stream)};
}

std::optional<std::string> PortAudioOutput::ErrorText(int result) const {
  const char* text = Pa_GetErrorText(result);
  if (text == nullptr || std::strcmp(text, "Invalid error code") == 0) {
    return std::nullopt;
  }
  return "The sound device failed: " + std::string(text);
}

}  // namespace orvane
