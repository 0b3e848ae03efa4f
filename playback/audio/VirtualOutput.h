#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "playback/audio/AudioOutput.h"

namespace orvane {

// An output device with no hardware behind it: its streams sound only when Pull() takes frames,
// so whoever pulls decides exactly how far each song gets, or, paced in real time, as fast as a
// sound card would take them until frozen. Its calls can be held, as a stalled sound server holds
// them, and its streams broken, as a server that goes away breaks them. Like PortAudio it lists
// the system's devices once, and anew on Rebuild: a device that vanished, came back under another
// index, or became the default, is only found through a list built anew. Safe to use from several
// threads: the sound side writes while a test pulls.
class VirtualOutput final : public AudioOutput {
 public:
  static constexpr int kRefused = -1;
  static constexpr int kBroken = -2;
  static constexpr int kGone = -3;  // the listed device is not where the list says
  // What a stream holds ahead, in seconds at its rate.
  static constexpr double kHeldSeconds = 0.25;
  // The device the system starts with.
  static constexpr const char* kFirstDevice = "Virtual";

  enum class Call { kOpen, kStart, kStop, kClose };
  enum class Pace { kPulled, kRealTime };

  explicit VirtualOutput(Pace pace = Pace::kPulled);
  ~VirtualOutput() override;
  VirtualOutput(const VirtualOutput&) = delete;
  VirtualOutput& operator=(const VirtualOutput&) = delete;

  int MaxChannels() override;
  OpenedStream OpenStream(const StreamFormat& format, StreamCounters& counters) override;
  std::optional<std::string> ErrorText(int result) const override;
  bool ListOutdated() override;
  bool ListMayBeStale(int result) override;
  bool Rebuild() override;

  // Takes the given number of frames from every running stream, silence where one holds fewer
  // (counted as owed); returns those of the newest running stream.
  std::vector<float> Pull(std::size_t frames);
  // Waits until a stream runs and each running one holds `frames` frames, or all it can hold;
  // false after a generous bound.
  bool AwaitHolding(std::size_t frames);
  // Paced in real time: takes no frames while frozen, as a stalled sound server takes none.
  void Freeze(bool frozen);

  // From now on streams run at this rate whatever they ask for, as a device that refuses others.
  void SetOwnRate(double rate);
  void SetMaxChannels(int channels);
  // The next opens fail with kRefused, as a device that is missing or taken.
  void SetRefusing(bool refusing);
  // Every stream open now fails from here on with kBroken, as when the sound server went away.
  void BreakStreams();
  // The system's devices: one plugged in last gets the next index; one unplugged breaks the
  // streams on it, and the indices after it move down. The system's default may name a device
  // that is not there, as when the only one was unplugged.
  void PlugIn(const std::string& device);
  void Unplug(const std::string& device);
  void SetDefault(const std::string& device);
  // Calls of this kind wait, whoever makes them, until released.
  void Hold(Call call);
  void Release(Call call);
  // Waits until a call of this kind is being held; false after a generous bound.
  bool AwaitHeld(Call call);

  std::size_t OpenStreams() const;
  std::size_t Opens() const;   // successful opens so far
  std::size_t Starts() const;  // streams started so far
  StreamFormat LastFormat() const;
  // The device of the stream opened last.
  std::string LastDevice() const;
  // Whether any call of the device was made on the given thread.
  bool CalledFrom(std::thread::id thread) const;
  // Whether the device list was built on the given thread.
  bool RebuiltOn(std::thread::id thread) const;

 private:
  class Stream;
  friend class Stream;

  // Notes the caller, then waits while calls of this kind are held.
  void Pass(Call call, std::unique_lock<std::mutex>& lock);
  // Takes what the time since the last turn sounded, until the device goes.
  void KeepPace();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Stream*> streams_;
  std::set<Call> held_;
  std::multiset<Call> waiting_;
  std::set<std::thread::id> callers_;
  std::set<std::thread::id> rebuilders_;
  std::vector<std::string> system_{kFirstDevice};  // by index
  std::string system_default_ = kFirstDevice;
  // The list as it was built: the default by its index then, and by its name.
  std::vector<std::string> listed_ = system_;
  std::size_t listed_index_ = 0;
  std::string listed_default_ = kFirstDevice;
  std::string last_device_;
  std::string missing_device_;  // the last one an open did not find
  StreamFormat last_format_;
  double own_rate_ = 0;
  int max_channels_ = 32;
  bool refusing_ = false;
  bool frozen_ = false;
  bool ending_ = false;
  std::size_t opens_ = 0;
  std::size_t starts_ = 0;
  std::thread pace_;
};

}  // namespace orvane
