#include "playback/audio/SongStream.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>

namespace orvane {

namespace {
constexpr std::size_t kChunkFrames = 4096;
constexpr double kRingSeconds = 1.0;
// How much of the song a rewind waits for before it lets the song sound.
constexpr std::size_t kStartFrames = 2 * kChunkFrames;
constexpr auto kReaderPoll = std::chrono::milliseconds(5);
constexpr auto kRewindPatience = std::chrono::seconds(2);
}  // namespace

OpenedSong SongStream::Open(const std::string& path, AudioOutput& output) {
  auto file = std::make_unique<SoundFile>();
  if (const int result = file->Open(path); result != 0) {
    return {result, nullptr};
  }
  const auto ring_frames =
      std::max(static_cast<std::size_t>(file->SampleRate() * kRingSeconds), 4 * kChunkFrames);
  const StreamFormat format{file->Channels(), file->SampleRate()};
  std::unique_ptr<SongStream> song(new SongStream(std::move(file), ring_frames));
  // The start of the song is decoded before anything can sound.
  while (song->FillOnce()) {
  }
  try {
    song->reader_ = std::thread(&SongStream::ReadAhead, song.get());
  } catch (const std::system_error&) {
    return {sound_result::kReaderNotStarted, nullptr};
  }
  OpenedStream stream = output.OpenStream(format, *song);
  if (!stream.stream) {
    return {stream.result, nullptr};
  }
  song->output_ = std::move(stream.stream);
  return {0, std::move(song)};
}

SongStream::SongStream(std::unique_ptr<SoundFile> file, std::size_t ring_frames)
    : file_(std::move(file)),
      ring_(ring_frames, file_->Channels()),
      chunk_(kChunkFrames * static_cast<std::size_t>(file_->Channels())),
      length_(std::max<std::int64_t>(file_->Frames(), 0)) {}

SongStream::~SongStream() {
  output_.reset();  // no callback runs after this
  {
    std::lock_guard lock(reader_mutex_);
    quit_ = true;
  }
  reader_wake_.notify_all();
  if (reader_.joinable()) {
    reader_.join();
  }
}

bool SongStream::FillOnce() {
  const std::int64_t length = length_.load(std::memory_order_relaxed);
  const std::size_t room = ring_.WritableFrames();
  if (length == 0 || room == 0) {
    return false;
  }
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::int64_t>(
      {static_cast<std::int64_t>(std::min(room, kChunkFrames)), length - file_position_}));
  const std::size_t got = file_->Read(chunk_.data(), wanted);
  if (got > 0) {
    ring_.Write(chunk_.data(), got);
    file_position_ += static_cast<std::int64_t>(got);
  }
  if (got < wanted || file_position_ >= length) {
    // The data ended here: that is the song's length, published before any frame of the next
    // round enters the ring.
    if (file_position_ < length) {
      length_.store(file_position_, std::memory_order_release);
    }
    if (file_position_ == 0 || !file_->Rewind()) {
      length_.store(file_position_, std::memory_order_release);
      return false;
    }
    file_position_ = 0;
  }
  return true;
}

void SongStream::ReadAhead() {
  std::unique_lock lock(reader_mutex_);
  while (!quit_) {
    lock.unlock();
    bool busy = false;
    while (FillOnce()) {
      busy = true;
    }
    lock.lock();
    if (busy) {
      frames_arrived_.notify_all();
    }
    // The audio callback cannot signal without a lock, so the reader looks again shortly.
    reader_wake_.wait_for(lock, kReaderPoll);
  }
}

void SongStream::Render(float* out, std::size_t frames) noexcept {
  rendering_.store(true);
  std::size_t taken = 0;
  std::uint64_t state = play_state_.load();
  if ((state & kSoundingBit) != 0) {
    const std::size_t readable = ring_.ReadableFrames();
    const std::int64_t length = length_.load(std::memory_order_acquire);
    const auto position = static_cast<std::int64_t>(state & ~kSoundingBit);
    const auto left = static_cast<std::size_t>(std::max<std::int64_t>(length - position, 0));
    const std::size_t count = std::min({frames, readable, left});
    const std::int64_t next = position + static_cast<std::int64_t>(count);
    const std::uint64_t next_state =
        static_cast<std::uint64_t>(next) | (next < length ? kSoundingBit : 0);
    // A stop from the window wins over this buffer: nothing is taken then.
    if (play_state_.compare_exchange_strong(state, next_state)) {
      ring_.Read(out, count);
      taken = count;
    }
  }
  const std::size_t channels = chunk_.size() / kChunkFrames;
  std::memset(out + taken * channels, 0, (frames - taken) * channels * sizeof(float));
  rendering_.store(false);
}

std::int64_t SongStream::Position() const {
  return static_cast<std::int64_t>(play_state_.load() & ~kSoundingBit);
}

bool SongStream::Sounding() const {
  return (play_state_.load() & kSoundingBit) != 0;
}

void SongStream::WaitUntilIdle() const {
  while (rendering_.load()) {
    std::this_thread::yield();
  }
}

int SongStream::SeekToStart() {
  std::uint64_t state = play_state_.load();
  const auto position = static_cast<std::int64_t>(state & ~kSoundingBit);
  if (position == 0) {
    return 0;
  }
  if ((state & kSoundingBit) != 0 || position != Length()) {
    return sound_result::kSeekMidSong;
  }
  // At the end the ring already holds the song's start; wait only if the reader is behind.
  const auto wanted = std::min(static_cast<std::size_t>(Length()), kStartFrames);
  reader_wake_.notify_all();
  {
    std::unique_lock lock(reader_mutex_);
    frames_arrived_.wait_for(lock, kRewindPatience,
                             [&] { return ring_.ReadableFrames() >= wanted; });
  }
  play_state_.compare_exchange_strong(state, 0);
  return 0;
}

int SongStream::Play() {
  std::uint64_t state = play_state_.load();
  while (static_cast<std::int64_t>(state & ~kSoundingBit) < Length() &&
         !play_state_.compare_exchange_weak(state, state | kSoundingBit)) {
  }
  return 0;
}

int SongStream::Stop() {
  std::uint64_t state = play_state_.load();
  while (!play_state_.compare_exchange_weak(state, state & ~kSoundingBit)) {
  }
  // A buffer taken just before the stop finishes before the stop returns.
  WaitUntilIdle();
  return 0;
}

}  // namespace orvane
