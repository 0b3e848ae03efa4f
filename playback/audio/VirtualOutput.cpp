#include "playback/audio/VirtualOutput.h"

#include <algorithm>

namespace orvane {

class VirtualOutput::Stream final : public OutputStream {
 public:
  Stream(VirtualOutput& owner, const StreamFormat& format, RenderSource& source)
      : owner_(owner), format_(format), source_(source) {
    owner_.streams_.push_back(this);
  }
  ~Stream() override { std::erase(owner_.streams_, this); }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  double SampleRate() const override { return format_.sample_rate; }
  double OutputLatencySeconds() const override { return 0; }

  std::vector<float> Render(std::size_t frames) {
    std::vector<float> samples(frames * static_cast<std::size_t>(format_.channels));
    if (source_.Render(samples.data(), frames) > 0) {
      ++owner_.counted_.starved;
    }
    return samples;
  }

 private:
  VirtualOutput& owner_;
  StreamFormat format_;
  RenderSource& source_;
};

OpenedStream VirtualOutput::OpenStream(const StreamFormat& format, RenderSource& source) {
  if (refusing_) {
    return {kRefused, nullptr};
  }
  last_format_ = format;
  if (own_rate_ > 0) {
    last_format_.sample_rate = own_rate_;
  }
  return {0, std::make_unique<Stream>(*this, last_format_, source)};
}

std::optional<std::string> VirtualOutput::ErrorText(int result) const {
  if (result == kRefused) {
    return "The sound device is not available";
  }
  return std::nullopt;
}

std::vector<float> VirtualOutput::Pull(std::size_t frames) {
  std::vector<float> newest;
  for (Stream* stream : streams_) {
    newest = stream->Render(frames);
  }
  return newest;
}

}  // namespace orvane
