#include "playback/audio/SongStream.h"

#include <algorithm>
#include <chrono>
#include <cmath>
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
  const StreamFormat format{file->Channels(), file->SampleRate()};
  std::unique_ptr<SongStream> song(new SongStream(std::move(file)));
  // The stream starts silent: the callback reads nothing until the song is played.
  OpenedStream stream = output.OpenStream(format, *song);
  if (!stream.stream) {
    return {stream.result, nullptr};
  }
  song->output_ = std::move(stream.stream);
  if (!song->PrepareFor(song->output_->SampleRate())) {
    return {sound_result::kNoConversion, nullptr};
  }
  // The start of the song is decoded before anything can sound.
  while (song->FillOnce()) {
  }
  try {
    song->reader_ = std::thread(&SongStream::ReadAhead, song.get());
  } catch (const std::system_error&) {
    return {sound_result::kReaderNotStarted, nullptr};
  }
  return {0, std::move(song)};
}

SongStream::SongStream(std::unique_ptr<SoundFile> file)
    : file_(std::move(file)),
      channels_(static_cast<std::size_t>(file_->Channels())),
      chunk_(kChunkFrames * channels_),
      source_length_(std::max<std::int64_t>(file_->Frames(), 0)),
      length_(source_length_.load()) {}

bool SongStream::PrepareFor(double device_rate) {
  const auto from = static_cast<std::int64_t>(std::llround(file_->SampleRate()));
  const auto to = static_cast<std::int64_t>(std::llround(device_rate));
  std::size_t ring_frames = 4 * kChunkFrames;
  if (to > 0 && to != from) {
    resampler_ = std::make_unique<SoxrResampler>(file_->Channels(), from, to);
    if (!resampler_->Ready()) {
      return false;
    }
    const std::size_t most = resampler_->MaxOutput(kChunkFrames) + resampler_->MaxOutput(1);
    converted_.reserve(most * channels_);
    ring_frames = std::max(ring_frames, 2 * most);
    length_.store(resampler_->OutputFrames(source_length_.load()));
  }
  ring_frames =
      std::max(ring_frames, static_cast<std::size_t>(std::max(device_rate, 0.0) * kRingSeconds));
  ring_.emplace(ring_frames, file_->Channels());
  return true;
}

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

std::int64_t SongStream::DeviceFrames(std::int64_t source_frames) const {
  return resampler_ ? resampler_->OutputFrames(source_frames) : source_frames;
}

bool SongStream::FillOnce() {
  const std::int64_t length = source_length_.load(std::memory_order_relaxed);
  if (length == 0) {
    return false;
  }
  const std::size_t room = ring_->WritableFrames();
  std::size_t wanted = static_cast<std::size_t>(
      std::min<std::int64_t>(static_cast<std::int64_t>(kChunkFrames), length - file_position_));
  if (resampler_) {
    if (room < resampler_->MaxOutput(wanted) + resampler_->MaxOutput(1)) {
      return false;
    }
  } else {
    wanted = std::min(wanted, room);
    if (wanted == 0) {
      return false;
    }
  }
  const std::size_t got = file_->Read(chunk_.data(), wanted);
  file_position_ += static_cast<std::int64_t>(got);
  const bool ended = got < wanted || file_position_ >= length;
  if (resampler_) {
    converted_.clear();
    resampler_->Process(chunk_.data(), got, converted_);
    if (ended) {
      resampler_->Finish(converted_);
    }
    ring_->Write(converted_.data(), converted_.size() / channels_);
  } else {
    ring_->Write(chunk_.data(), got);
  }
  if (ended) {
    // The data ended here: that is the song's length, published before any frame of the next
    // round enters the ring.
    if (file_position_ < length) {
      source_length_.store(file_position_, std::memory_order_release);
      length_.store(DeviceFrames(file_position_), std::memory_order_release);
    }
    if (file_position_ == 0 || !file_->Rewind()) {
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

std::size_t SongStream::Render(float* out, std::size_t frames) noexcept {
  rendering_.store(true);
  std::size_t taken = 0;
  std::size_t owed = 0;
  std::uint64_t state = play_state_.load();
  if ((state & kSoundingBit) != 0) {
    const std::size_t readable = ring_->ReadableFrames();
    const std::int64_t length = length_.load(std::memory_order_acquire);
    const auto position = static_cast<std::int64_t>(state & ~kSoundingBit);
    const auto left = static_cast<std::size_t>(std::max<std::int64_t>(length - position, 0));
    const std::size_t count = std::min({frames, readable, left});
    const std::int64_t next = position + static_cast<std::int64_t>(count);
    const std::uint64_t next_state =
        static_cast<std::uint64_t>(next) | (next < length ? kSoundingBit : 0);
    // A stop from the window wins over this buffer: nothing is taken then.
    if (play_state_.compare_exchange_strong(state, next_state)) {
      ring_->Read(out, count);
      taken = count;
      // The reader fell behind: the song goes on from here next time, after this silence.
      owed = std::min(frames, left) - count;
    }
  }
  std::memset(out + taken * channels_, 0, (frames - taken) * channels_ * sizeof(float));
  rendering_.store(false);
  return owed;
}

std::int64_t SongStream::Position() const {
  const auto position = static_cast<std::int64_t>(play_state_.load() & ~kSoundingBit);
  if (!resampler_) {
    return position;
  }
  // Told in the file's frames, so that the end reads as the song's length.
  if (position >= length_.load(std::memory_order_acquire)) {
    return Length();
  }
  return std::min(resampler_->SourceFrameOf(position), Length());
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
  const std::int64_t length = length_.load(std::memory_order_acquire);
  if ((state & kSoundingBit) != 0 || position != length) {
    return sound_result::kSeekMidSong;
  }
  // At the end the ring already holds the song's start; wait only if the reader is behind.
  const auto wanted = std::min(static_cast<std::size_t>(length), kStartFrames);
  reader_wake_.notify_all();
  {
    std::unique_lock lock(reader_mutex_);
    frames_arrived_.wait_for(lock, kRewindPatience,
                             [&] { return ring_->ReadableFrames() >= wanted; });
  }
  play_state_.compare_exchange_strong(state, 0);
  return 0;
}

int SongStream::Play() {
  std::uint64_t state = play_state_.load();
  const std::int64_t length = length_.load(std::memory_order_acquire);
  while (static_cast<std::int64_t>(state & ~kSoundingBit) < length &&
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
