#include "playback/audio/SongFeed.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace orvane {

namespace {
constexpr std::size_t kWriteFrames = 4096;
// While the stream runs the thread looks at the device this often; it holds far more.
constexpr auto kFeedPoll = std::chrono::milliseconds(10);
}  // namespace

namespace {

// 768000 as "768,000".
std::string Grouped(double value) {
  std::string digits = std::to_string(std::llround(value));
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

}  // namespace

std::string SongFeed::PlayableRates() {
  return Grouped(kLowestRate) + " to " + Grouped(kHighestRate) + " Hz";
}

int SongFeed::Open(const std::string& path, const FeedParts& parts, std::unique_ptr<SongFeed>& feed,
                   std::string& message) {
  AudioOutput& output = parts.output;
  auto file = std::make_unique<SoundFile>();
  if (const int result = file->Open(path); result != 0) {
    return result;
  }
  // Checked before any conversion is set up: one for a rate of a few hertz takes minutes and
  // gigabytes to build.
  if (file->SampleRate() < kLowestRate || file->SampleRate() > kHighestRate) {
    message = "The song's sample rate (" + Grouped(file->SampleRate()) +
              " Hz) is outside what Orvane plays (" + PlayableRates() + ")";
    return sound_result::kRateOutsideRange;
  }
  if (const int most = output.MaxChannels(); most > 0 && file->Channels() > most) {
    return sound_result::kTooManyChannels;
  }
  std::unique_ptr<SongFeed> made(new SongFeed(parts, std::move(file)));
  OpenedStream opened = made->OpenOnCurrentList();
  if (!opened.stream) {
    return opened.result;
  }
  made->stream_ = std::move(opened.stream);
  made->device_rate_ = made->stream_->SampleRate();
  const auto held =
      static_cast<std::size_t>(std::max<std::int64_t>(made->stream_->CapacityFrames(), 0));
  // What the device holds unsounded at a stop is taken back from the ring.
  if (!made->source_.PrepareFor(made->device_rate_, held + kWriteFrames)) {
    return sound_result::kNoConversion;
  }
  made->pad_frames_ = static_cast<std::int64_t>(held);
  // The song's first frames are ready before the open returns; the thread decodes the rest.
  while (made->source_.Readable() < kWriteFrames && made->source_.FillOnce()) {
  }
  try {
    made->thread_ = std::thread(&SongFeed::Run, made.get());
  } catch (const std::system_error&) {
    return sound_result::kReaderNotStarted;
  }
  feed = std::move(made);
  return 0;
}

SongFeed::SongFeed(const FeedParts& parts, std::unique_ptr<SoundFile> file)
    : output_(parts.output),
      clock_(parts.clock),
      lists_(parts.lists),
      source_(std::move(file)),
      format_{source_.Channels(), source_.SourceRate()},
      buffer_(kWriteFrames * static_cast<std::size_t>(source_.Channels())) {}

SongFeed::~SongFeed() {
  Enqueue(Ask::kQuit);
  if (thread_.joinable()) {
    thread_.join();
  }
  stream_.reset();
}

// --- Asked by others ---

void SongFeed::Enqueue(Ask ask, std::uint64_t ticket) {
  std::lock_guard lock(mutex_);
  requests_.push_back({ask, ticket});
  wake_.notify_all();
}

int SongFeed::AskAndWait(Ask ask, std::chrono::milliseconds patience) {
  std::unique_lock lock(mutex_);
  const std::uint64_t ticket = ++tickets_;
  requests_.push_back({ask, ticket});
  wake_.notify_all();
  if (!answered_.wait_for(lock, patience, [&] { return answered_ticket_ >= ticket; })) {
    return kNoAnswerResult;
  }
  return answer_;
}

std::int64_t SongFeed::DevicePositionLocked() const {
  if (seek_pending_) {
    return 0;
  }
  if (!RunningLocked()) {
    return shown_position_;
  }
  const std::int64_t sounded = counters_.sounded.load() - sounded_at_start_;
  return std::min(shown_position_ + sounded, source_.Length());
}

bool SongFeed::SoundingLocked() const {
  return sounding_ && DevicePositionLocked() < source_.Length();
}

void SongFeed::ObserveLocked() const {
  const PlayReport::Stage before = play_clock_.Stage();
  play_clock_.Observe(counters_.sounded.load(), clock_.Now(), SoundingLocked());
  if (play_clock_.Stage() != before) {
    answered_.notify_all();
  }
}

std::int64_t SongFeed::Position() const {
  std::lock_guard lock(mutex_);
  return source_.SourceFrameOf(DevicePositionLocked());
}

bool SongFeed::Sounding() const {
  std::lock_guard lock(mutex_);
  return SoundingLocked();
}

int SongFeed::Failure() const {
  std::lock_guard lock(mutex_);
  return phase_ == Phase::kDead ? failure_ : 0;
}

PlayReport SongFeed::LastPlay() const {
  std::lock_guard lock(mutex_);
  ObserveLocked();
  return play_clock_.Report(clock_.Now());
}

PlayReport SongFeed::AwaitPlay(std::chrono::milliseconds patience) const {
  std::unique_lock lock(mutex_);
  answered_.wait_for(lock, patience, [&] {
    ObserveLocked();
    return play_clock_.Stage() != PlayReport::Stage::kPending;
  });
  return play_clock_.Report(clock_.Now());
}

PlaybackHealth SongFeed::Health() const {
  PlaybackHealth health;
  health.underflows = counters_.underflows.load();
  std::lock_guard lock(mutex_);
  ObserveLocked();
  const MonotonicClock::TimePoint now = clock_.Now();
  health.frames_owed = counters_.owed.load() + play_clock_.OwedFrames(now, device_rate_);
  if (phase_ == Phase::kDead) {
    health.stream = "dead";
  } else if (play_clock_.Stalled(now)) {
    health.stream = "stalled";
  } else if (play_clock_.Stage() == PlayReport::Stage::kPending) {
    health.stream = "starting";
  } else {
    health.stream = RunningLocked() ? "playing" : "ready";
  }
  return health;
}

void SongFeed::SeekToStart() {
  std::lock_guard lock(mutex_);
  seek_pending_ = true;
  sounding_ = false;
  requests_.push_back({Ask::kSeek, 0});
  wake_.notify_all();
}

void SongFeed::Play() {
  std::lock_guard lock(mutex_);
  ObserveLocked();
  // A song still sounding goes on from where it is; its play is heard when the device goes on.
  if (SoundingLocked()) {
    play_clock_.JoiningPlay(clock_.Now());
    return;
  }
  sounding_ = true;
  ++plays_asked_;
  play_clock_.FreshPlay(clock_.Now());
  requests_.push_back({Ask::kPlay, 0});
  wake_.notify_all();
}

int SongFeed::Stop() {
  return AskAndWait(Ask::kStop);
}

bool SongFeed::PutDownStream(std::chrono::milliseconds patience) {
  {
    std::lock_guard lock(mutex_);
    if (phase_ == Phase::kParked || phase_ == Phase::kDead) {
      return true;
    }
    // A song that sounds is not cut for the list's sake.
    if (RunningLocked() || SoundingLocked()) {
      return false;
    }
  }
  return AskAndWait(Ask::kPutDown, patience) == 0;
}

void SongFeed::Silence() {
  Enqueue(Ask::kStop);
}

// --- The song's thread ---

void SongFeed::Run() {
  // At the normal priority: with the song held seconds ahead, being late costs nothing, while a
  // real-time thread that decodes would take a core from everything else for as long.
  for (;;) {
    Request request{};
    if (TakeRequest(request)) {
      if (request.ask == Ask::kQuit) {
        return;
      }
      Serve(request);
      continue;
    }
    const bool fed = Feed();
    {
      std::lock_guard lock(mutex_);
      ObserveLocked();
    }
    const bool decoded = source_.FillOnce();
    if (!fed && !decoded) {
      WaitForRequest();
    }
  }
}

bool SongFeed::TakeRequest(Request& request) {
  std::lock_guard lock(mutex_);
  if (requests_.empty()) {
    return false;
  }
  request = requests_.front();
  requests_.pop_front();
  return true;
}

void SongFeed::WaitForRequest() {
  std::unique_lock lock(mutex_);
  if (RunningLocked()) {
    wake_.wait_for(lock, kFeedPoll, [&] { return !requests_.empty(); });
  } else {
    wake_.wait(lock, [&] { return !requests_.empty(); });
  }
}

void SongFeed::Serve(const Request& request) {
  switch (request.ask) {
    case Ask::kSeek:
      ServeSeek();
      break;
    case Ask::kPlay:
      ServePlay();
      break;
    case Ask::kStop:
      Answer(request.ticket, ServeStop());
      break;
    case Ask::kPutDown:
      Answer(request.ticket, ServePutDown());
      break;
    case Ask::kQuit:
      break;
  }
}

SongFeed::Phase SongFeed::PhaseNow() const {
  std::lock_guard lock(mutex_);
  return phase_;
}

void SongFeed::Answer(std::uint64_t ticket, int result) {
  if (ticket == 0) {
    return;
  }
  std::lock_guard lock(mutex_);
  answered_ticket_ = ticket;
  answer_ = result;
  answered_.notify_all();
}

void SongFeed::ServeSeek() {
  EndPad();
  // Only a song at its end is rewound; the ring holds its start then.
  if (position_ == source_.Length()) {
    position_ = 0;
  }
  std::lock_guard lock(mutex_);
  shown_position_ = position_;
  seek_pending_ = false;
}

void SongFeed::ServePlay() {
  {
    std::lock_guard lock(mutex_);
    play_served_ = plays_asked_;
    if (phase_ == Phase::kPlaying) {
      return;  // still writing the song, which goes on
    }
  }
  // The silence after a song's end is dropped: the new run starts with the song.
  EndPad();
  // A stream that failed or was put down is opened anew, and so is one on an old default device.
  if (const Phase phase = PhaseNow();
      phase == Phase::kDead || phase == Phase::kParked || output_.ListOutdated()) {
    if (const int result = ReopenStream(); result != 0) {
      FailPlay(result);
      return;
    }
  }
  if (position_ >= source_.Length()) {
    std::lock_guard lock(mutex_);
    play_clock_.PlayHeard();  // nothing left to sound
    sounding_ = false;
    answered_.notify_all();
    return;
  }
  FillHead();
  if (const int result = StartStream(); result != 0) {
    FailPlay(result);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    phase_ = Phase::kPlaying;
    shown_position_ = position_;
    sounded_at_start_ = counters_.sounded.load();
    play_clock_.RunStarted(sounded_at_start_, clock_.Now());
  }
  Feed();
}

int SongFeed::StartStream() {
  // A stream whose sound server went away fails at its start; a fresh one reaches the server
  // that runs now.
  int result = stream_->Start();
  if (result != 0 && (result = ReopenStream()) == 0) {
    result = stream_->Start();
  }
  if (result != 0) {
    std::lock_guard lock(mutex_);
    phase_ = Phase::kDead;
    failure_ = result;
  }
  return result;
}

int SongFeed::ServeStop() {
  bool running = false;
  {
    std::lock_guard lock(mutex_);
    running = RunningLocked();
    if (!running) {
      sounding_ = false;
    }
  }
  if (!running) {
    return 0;
  }
  const int result = stream_->Stop();
  KeepHeardPosition();
  std::lock_guard lock(mutex_);
  phase_ = Phase::kIdle;
  shown_position_ = position_;
  sounding_ = false;
  return result;
}

int SongFeed::ServePutDown() {
  const Phase phase = PhaseNow();
  if (phase == Phase::kParked || phase == Phase::kDead) {
    return 0;
  }
  if (phase != Phase::kIdle) {
    return 1;  // a run began since it was asked
  }
  stream_.reset();
  std::lock_guard lock(mutex_);
  phase_ = Phase::kParked;
  return 0;
}

OpenedStream SongFeed::OpenOnCurrentList() {
  // A changed default is found only through a list built anew.
  if (output_.ListOutdated()) {
    lists_.RebuildDeviceList();
  }
  OpenedStream opened = output_.OpenStream(format_, counters_);
  if (!opened.stream && output_.ListMayBeStale(opened.result) && lists_.RebuildDeviceList()) {
    opened = output_.OpenStream(format_, counters_);
  }
  return opened;
}

int SongFeed::ReopenStream() {
  stream_.reset();
  {
    // Before the list is built anew, which waits for every song to hold no stream.
    std::lock_guard lock(mutex_);
    phase_ = Phase::kParked;
  }
  OpenedStream opened = OpenOnCurrentList();
  int result = opened.result;
  // The ring holds frames for the rate the song was prepared for.
  if (opened.stream && opened.stream->SampleRate() != device_rate_) {
    result = sound_result::kDeviceRateChanged;
  } else if (opened.stream) {
    stream_ = std::move(opened.stream);
  }
  std::lock_guard lock(mutex_);
  if (stream_) {
    phase_ = Phase::kIdle;
    failure_ = 0;
    return 0;
  }
  phase_ = Phase::kDead;
  failure_ = result;
  return result;
}

void SongFeed::FillHead() {
  const auto left =
      static_cast<std::size_t>(std::max<std::int64_t>(source_.Length() - position_, 0));
  const std::size_t wanted = std::min(left, static_cast<std::size_t>(pad_frames_) + kWriteFrames);
  while (source_.Readable() < wanted && source_.FillOnce()) {
  }
}

bool SongFeed::Feed() {
  const Phase phase = PhaseNow();
  if (phase != Phase::kPlaying && phase != Phase::kTail) {
    return false;
  }
  const std::int64_t free = stream_->WritableFrames();
  if (free < 0) {
    StreamDied(static_cast<int>(free));
    return true;
  }
  return phase == Phase::kPlaying ? WriteSong(free) : WritePad(free);
}

bool SongFeed::WriteSong(std::int64_t free) {
  const std::int64_t left = source_.Length() - position_;
  const auto count = static_cast<std::size_t>(
      std::min<std::int64_t>({free, static_cast<std::int64_t>(source_.Readable()), left,
                              static_cast<std::int64_t>(kWriteFrames)}));
  if (count == 0) {
    return false;
  }
  source_.Read(buffer_.data(), count);
  if (const int result = stream_->Write(buffer_.data(), count); result != 0) {
    source_.Unread(count);
    StreamDied(result);
    return true;
  }
  position_ += static_cast<std::int64_t>(count);
  if (position_ >= source_.Length()) {
    std::lock_guard lock(mutex_);
    phase_ = Phase::kTail;
  }
  return true;
}

bool SongFeed::WritePad(std::int64_t free) {
  // The song's end is written; silence follows until the device has sounded it, with room for
  // whatever the sound server holds behind the stream, so that stopping cuts nothing.
  std::int64_t sounded = 0;
  {
    std::lock_guard lock(mutex_);
    sounded = shown_position_ + counters_.sounded.load() - sounded_at_start_;
  }
  if (sounded >= source_.Length() + pad_frames_) {
    EndPad();
    return true;
  }
  const auto count = static_cast<std::size_t>(
      std::min<std::int64_t>(free, static_cast<std::int64_t>(kWriteFrames)));
  if (count == 0) {
    return false;
  }
  std::fill_n(buffer_.begin(), count * static_cast<std::size_t>(source_.Channels()), 0.0f);
  if (const int result = stream_->Write(buffer_.data(), count); result != 0) {
    StreamDied(result);
  }
  return true;
}

void SongFeed::EndPad() {
  if (PhaseNow() != Phase::kTail) {
    return;
  }
  stream_->Stop();
  KeepHeardPosition();
  std::lock_guard lock(mutex_);
  phase_ = Phase::kIdle;
  shown_position_ = position_;
  if (play_served_ == plays_asked_) {
    sounding_ = false;
  }
}

std::int64_t SongFeed::SoundedPosition() const {
  std::lock_guard lock(mutex_);
  const std::int64_t sounded = counters_.sounded.load() - sounded_at_start_;
  return std::min(shown_position_ + sounded, position_);
}

void SongFeed::KeepHeardPosition() {
  const std::int64_t heard = SoundedPosition();
  source_.Unread(static_cast<std::size_t>(position_ - heard));
  position_ = heard;
}

void SongFeed::StreamDied(int result) {
  // The song was heard whole when only the silence after it was lost.
  const bool heard_whole = SoundedPosition() >= source_.Length();
  KeepHeardPosition();
  {
    std::lock_guard lock(mutex_);
    phase_ = Phase::kDead;
    failure_ = result;
    shown_position_ = position_;
  }
  if (!heard_whole) {
    FailPlay(result);
  }
}

void SongFeed::FailPlay(int result) {
  std::lock_guard lock(mutex_);
  if (play_served_ == plays_asked_) {
    play_clock_.PlayFailed(result);
    sounding_ = false;
    ObserveLocked();
    answered_.notify_all();
  }
}

}  // namespace orvane
