#include "playback/audio/SongStream.h"

namespace orvane {

SongStream::~SongStream() {
  feed_->Silence();
  // The last reference goes with the task, so the feed closes on the worker.
  if (!worker_.Post([feed = std::move(feed_)]() mutable { feed.reset(); })) {
    feed_.reset();  // the worker has finished: only at the program's end, with nothing to wait on
  }
}

}  // namespace orvane
