#pragma once

#include <cstddef>
#include <vector>

#include "playback/audio/AudioOutput.h"

namespace orvane {

// An output device with no hardware behind it: its streams sound only when Pull() asks for
// frames, so whoever pulls decides exactly how far each song gets.
class VirtualOutput final : public AudioOutput {
 public:
  static constexpr int kRefused = -1;

  OpenedStream OpenStream(const StreamFormat& format, RenderSource& source) override;
  std::optional<std::string> ErrorText(int result) const override;
  Underruns Counted() const override { return counted_; }

  // Renders the given number of frames from every open stream; returns those of the newest.
  std::vector<float> Pull(std::size_t frames);

  // From now on streams run at this rate whatever they ask for, as a device that refuses others.
  void SetOwnRate(double rate) { own_rate_ = rate; }
  // The next opens fail with kRefused, as a device that is missing or taken.
  void SetRefusing(bool refusing) { refusing_ = refusing; }
  std::size_t OpenStreams() const { return streams_.size(); }
  const StreamFormat& LastFormat() const { return last_format_; }

 private:
  class Stream;
  friend class Stream;

  std::vector<Stream*> streams_;
  StreamFormat last_format_;
  double own_rate_ = 0;
  bool refusing_ = false;
  Underruns counted_;
};

}  // namespace orvane
