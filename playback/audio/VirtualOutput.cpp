#include "playback/audio/VirtualOutput.h"

#include <algorithm>
#include <deque>

namespace orvane {

namespace {
constexpr auto kPatience = std::chrono::seconds(30);
// How often a device paced in real time takes what has sounded since.
constexpr auto kPaceTurn = std::chrono::milliseconds(5);
}  // namespace

// Every member is guarded by the owner's mutex.
class VirtualOutput::Stream final : public OutputStream {
 public:
  Stream(VirtualOutput& owner, std::string device, const StreamFormat& format,
         StreamCounters& counters)
      : owner_(owner),
        device_(std::move(device)),
        format_(format),
        counters_(counters),
        capacity_(static_cast<std::int64_t>(format.sample_rate * kHeldSeconds)) {
    owner_.streams_.push_back(this);
  }
  ~Stream() override {
    std::unique_lock lock(owner_.mutex_);
    owner_.Pass(Call::kClose, lock);
    std::erase(owner_.streams_, this);
  }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  double SampleRate() const override { return format_.sample_rate; }
  std::int64_t CapacityFrames() const override { return capacity_; }

  int Start() override {
    std::unique_lock lock(owner_.mutex_);
    owner_.Pass(Call::kStart, lock);
    held_.clear();
    running_ = broken_ == 0;
    paced_at_ = std::chrono::steady_clock::now();
    ++owner_.starts_;
    owner_.changed_.notify_all();
    return broken_;
  }
  std::int64_t WritableFrames() override {
    std::lock_guard lock(owner_.mutex_);
    return broken_ != 0 ? broken_ : capacity_ - HeldFrames();
  }
  int Write(const float* samples, std::size_t frames) override {
    std::lock_guard lock(owner_.mutex_);
    if (broken_ != 0) {
      return broken_;
    }
    held_.insert(held_.end(), samples, samples + frames * Channels());
    owner_.changed_.notify_all();
    return 0;
  }
  int Stop() override {
    std::unique_lock lock(owner_.mutex_);
    owner_.Pass(Call::kStop, lock);
    running_ = false;
    held_.clear();
    return broken_;
  }

  const std::string& Device() const { return device_; }
  bool Running() const { return running_; }
  std::int64_t HeldFrames() const { return static_cast<std::int64_t>(held_.size() / Channels()); }
  void Break(int result) {
    broken_ = result;
    running_ = false;
    held_.clear();
  }

  std::vector<float> Take(std::size_t frames) {
    std::vector<float> samples(frames * Channels(), 0.0f);
    if (!running_) {
      return samples;
    }
    const std::size_t taken = std::min(frames, static_cast<std::size_t>(HeldFrames()));
    std::copy_n(held_.begin(), taken * Channels(), samples.begin());
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(taken * Channels()));
    counters_.sounded.fetch_add(static_cast<std::int64_t>(taken));
    if (taken < frames) {
      counters_.owed.fetch_add(frames - taken);
      counters_.underflows.fetch_add(1);
    }
    return samples;
  }

  // Takes what has sounded since the last turn; a frozen device lets the time pass unsounded.
  void KeepPace(std::chrono::steady_clock::time_point now, bool frozen) {
    if (!running_) {
      return;
    }
    const auto due = static_cast<std::size_t>(
        std::chrono::duration<double>(now - paced_at_).count() * format_.sample_rate);
    if (frozen) {
      paced_at_ = now;
    } else if (due > 0) {
      Take(due);
      paced_at_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::duration<double>(static_cast<double>(due) / format_.sample_rate));
    }
  }

 private:
  std::size_t Channels() const { return static_cast<std::size_t>(format_.channels); }

  VirtualOutput& owner_;
  std::string device_;
  StreamFormat format_;
  StreamCounters& counters_;
  std::int64_t capacity_;
  std::deque<float> held_;
  bool running_ = false;
  int broken_ = 0;  // the result code that broke it
  std::chrono::steady_clock::time_point paced_at_;
};

VirtualOutput::VirtualOutput(Pace pace) {
  if (pace == Pace::kRealTime) {
    pace_ = std::thread(&VirtualOutput::KeepPace, this);
  }
}

VirtualOutput::~VirtualOutput() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
    changed_.notify_all();
  }
  if (pace_.joinable()) {
    pace_.join();
  }
}

void VirtualOutput::KeepPace() {
  std::unique_lock lock(mutex_);
  while (!ending_) {
    changed_.wait_for(lock, kPaceTurn, [&] { return ending_; });
    const auto now = std::chrono::steady_clock::now();
    for (Stream* stream : streams_) {
      stream->KeepPace(now, frozen_);
    }
  }
}

void VirtualOutput::Pass(Call call, std::unique_lock<std::mutex>& lock) {
  callers_.insert(std::this_thread::get_id());
  waiting_.insert(call);
  changed_.notify_all();
  changed_.wait(lock, [&] { return !held_.contains(call); });
  waiting_.erase(waiting_.find(call));
}

int VirtualOutput::MaxChannels() {
  std::lock_guard lock(mutex_);
  callers_.insert(std::this_thread::get_id());
  return max_channels_;
}

OpenedStream VirtualOutput::OpenStream(const StreamFormat& format, StreamCounters& counters) {
  std::unique_lock lock(mutex_);
  Pass(Call::kOpen, lock);
  if (refusing_) {
    return {kRefused, nullptr};
  }
  // The list names its default by index, as PortAudio does: whatever sits there now is not it.
  if (listed_index_ >= listed_.size() || listed_index_ >= system_.size() ||
      system_[listed_index_] != listed_default_) {
    missing_device_ = listed_default_;
    return {kGone, nullptr};
  }
  const std::string device = listed_default_;
  last_format_ = format;
  if (own_rate_ > 0) {
    last_format_.sample_rate = own_rate_;
  }
  last_device_ = device;
  ++opens_;
  return {0, std::make_unique<Stream>(*this, device, last_format_, counters)};
}

std::optional<std::string> VirtualOutput::ErrorText(int result) const {
  switch (result) {
    case kRefused:
      return "The sound device is not available";
    case kBroken:
      return "The sound device went away";
    case kGone: {
      std::lock_guard lock(mutex_);
      return "The sound device \"" + missing_device_ + "\" is not available";
    }
    default:
      return std::nullopt;
  }
}

bool VirtualOutput::ListOutdated() {
  std::lock_guard lock(mutex_);
  return listed_default_ != system_default_;
}

bool VirtualOutput::ListMayBeStale(int result) {
  return result == kGone;
}

bool VirtualOutput::Rebuild() {
  std::lock_guard lock(mutex_);
  rebuilders_.insert(std::this_thread::get_id());
  if (!streams_.empty()) {
    return false;
  }
  listed_ = system_;
  listed_default_ = system_default_;
  listed_index_ = static_cast<std::size_t>(
      std::find(listed_.begin(), listed_.end(), system_default_) - listed_.begin());
  return true;
}

std::vector<float> VirtualOutput::Pull(std::size_t frames) {
  std::lock_guard lock(mutex_);
  std::vector<float> newest;
  for (Stream* stream : streams_) {
    const bool running = stream->Running();
    std::vector<float> taken = stream->Take(frames);
    if (running || newest.empty()) {
      newest = std::move(taken);
    }
  }
  return newest;
}

bool VirtualOutput::AwaitHolding(std::size_t frames) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] {
    bool any = false;
    for (const Stream* stream : streams_) {
      if (stream->Running()) {
        any = true;
        if (stream->HeldFrames() <
            std::min(static_cast<std::int64_t>(frames), stream->CapacityFrames())) {
          return false;
        }
      }
    }
    return any;
  });
}

void VirtualOutput::Freeze(bool frozen) {
  std::lock_guard lock(mutex_);
  frozen_ = frozen;
}

void VirtualOutput::SetOwnRate(double rate) {
  std::lock_guard lock(mutex_);
  own_rate_ = rate;
}

void VirtualOutput::SetMaxChannels(int channels) {
  std::lock_guard lock(mutex_);
  max_channels_ = channels;
}

void VirtualOutput::SetRefusing(bool refusing) {
  std::lock_guard lock(mutex_);
  refusing_ = refusing;
}

void VirtualOutput::BreakStreams() {
  std::lock_guard lock(mutex_);
  for (Stream* stream : streams_) {
    stream->Break(kBroken);
  }
}

void VirtualOutput::PlugIn(const std::string& device) {
  std::lock_guard lock(mutex_);
  system_.push_back(device);
}

void VirtualOutput::Unplug(const std::string& device) {
  std::lock_guard lock(mutex_);
  std::erase(system_, device);
  for (Stream* stream : streams_) {
    if (stream->Device() == device) {
      missing_device_ = device;
      stream->Break(kGone);
    }
  }
}

void VirtualOutput::SetDefault(const std::string& device) {
  std::lock_guard lock(mutex_);
  system_default_ = device;
}

void VirtualOutput::Hold(Call call) {
  std::lock_guard lock(mutex_);
  held_.insert(call);
}

void VirtualOutput::Release(Call call) {
  std::lock_guard lock(mutex_);
  held_.erase(call);
  changed_.notify_all();
}

bool VirtualOutput::AwaitHeld(Call call) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] { return waiting_.contains(call); });
}

std::size_t VirtualOutput::OpenStreams() const {
  std::lock_guard lock(mutex_);
  return streams_.size();
}

std::size_t VirtualOutput::Opens() const {
  std::lock_guard lock(mutex_);
  return opens_;
}

std::size_t VirtualOutput::Starts() const {
  std::lock_guard lock(mutex_);
  return starts_;
}

StreamFormat VirtualOutput::LastFormat() const {
  std::lock_guard lock(mutex_);
  return last_format_;
}

std::string VirtualOutput::LastDevice() const {
  std::lock_guard lock(mutex_);
  return last_device_;
}

bool VirtualOutput::CalledFrom(std::thread::id thread) const {
  std::lock_guard lock(mutex_);
  return callers_.contains(thread);
}

bool VirtualOutput::RebuiltOn(std::thread::id thread) const {
  std::lock_guard lock(mutex_);
  return rebuilders_.contains(thread);
}

}  // namespace orvane
