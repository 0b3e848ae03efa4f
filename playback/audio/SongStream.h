#pragma once

#include <memory>

#include "playback/SoundService.h"
#include "playback/audio/SongFeed.h"
#include "playback/audio/SoundWorker.h"

namespace orvane {

// A song open on the sound side, as a media player holds it: every call returns at once or after
// a bounded wait. Closing it silences the song and hands it to the sound worker, which closes it
// there, however long the device takes. The worker outlives its songs.
class SongStream final : public SoundDevice {
 public:
  SongStream(std::shared_ptr<SongFeed> feed, SoundWorker& worker)
      : feed_(std::move(feed)), worker_(worker) {}
  ~SongStream() override;
  SongStream(const SongStream&) = delete;
  SongStream& operator=(const SongStream&) = delete;

  std::int64_t Position() const override { return feed_->Position(); }
  std::int64_t Length() const override { return feed_->Length(); }
  bool Sounding() const override { return feed_->Sounding(); }
  int SeekToStart() override {
    feed_->SeekToStart();
    return 0;
  }
  int Play() override {
    feed_->Play();
    return 0;
  }
  int Stop() override { return feed_->Stop(); }
  int Failure() const override { return feed_->Failure(); }
  PlayReport LastPlay() const override { return feed_->LastPlay(); }
  PlayReport AwaitPlay(std::chrono::milliseconds patience) const override {
    return feed_->AwaitPlay(patience);
  }
  PlaybackHealth Health() const override { return feed_->Health(); }

 private:
  std::shared_ptr<SongFeed> feed_;
  SoundWorker& worker_;
};

}  // namespace orvane
