#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "control/MonotonicClock.h"
#include "control/PlaybackHealth.h"
#include "playback/SoundService.h"
#include "playback/audio/AudioOutput.h"
#include "playback/audio/DeviceListKeeper.h"
#include "playback/audio/SongClock.h"
#include "playback/audio/SongSource.h"

namespace orvane {

// What a song is fed through: the output device, the clock its stalls are judged by and the
// keeper of the device list. All outlive the song.
struct FeedParts {
  AudioOutput& output;
  const MonotonicClock& clock;
  DeviceListKeeper& lists;
};

// One open song and the thread of its own that feeds it to its output stream. The thread
// decodes ahead, starts and stops the stream, writes the song well ahead of its sound, and opens
// the stream anew when it died (a sound server restarted, a device gone), on a device list built
// anew where the old one no longer holds the device or names the default. Whether a play is heard
// is told by the device's clock, which also shows a device that stopped taking the song. Other
// threads ask; only Stop and putting the stream down wait for the answer, and not for longer than
// the patience.
class SongFeed {
 public:
  // Song rates the program converts; others are refused before anything is built for them.
  static constexpr double kLowestRate = 1000;
  static constexpr double kHighestRate = 768000;
  // "1,000 to 768,000 Hz"
  static std::string PlayableRates();

  // Opens the file, checks that the device can play it, opens its output stream and decodes its
  // start: the sound worker's part. The result code, and the feed when it is 0; `message` tells
  // a refusal that its code alone cannot.
  static int Open(const std::string& path, const FeedParts& parts, std::unique_ptr<SongFeed>& feed,
                  std::string& message);
  // Ends the song's thread and closes the stream, which may wait on the device: the sound
  // worker's part too.
  ~SongFeed();
  SongFeed(const SongFeed&) = delete;
  SongFeed& operator=(const SongFeed&) = delete;

  // Frames of the file.
  std::int64_t Position() const;
  std::int64_t Length() const { return source_.SourceLength(); }
  bool Sounding() const;
  int Failure() const;
  PlayReport LastPlay() const;
  PlayReport AwaitPlay(std::chrono::milliseconds patience) const;
  PlaybackHealth Health() const;

  void SeekToStart();
  void Play();
  int Stop();
  // Closes the stream of a song that does not sound, so that the device list can be built anew;
  // the next Play opens it again. Waits up to `patience`; false when the stream stays open.
  bool PutDownStream(std::chrono::milliseconds patience);
  // Stops the sound without waiting: the song is about to close.
  void Silence();

 private:
  // kParked: the stream was closed on purpose; kDead: it failed.
  enum class Phase { kIdle, kPlaying, kTail, kParked, kDead };
  enum class Ask { kSeek, kPlay, kStop, kPutDown, kQuit };
  struct Request {
    Ask ask;
    std::uint64_t ticket;  // 0 when nobody waits for the answer
  };

  SongFeed(const FeedParts& parts, std::unique_ptr<SoundFile> file);

  // Called by others.
  void Enqueue(Ask ask, std::uint64_t ticket = 0);
  int AskAndWait(Ask ask, std::chrono::milliseconds patience = SoundService::kPatience);
  std::int64_t DevicePositionLocked() const;
  bool SoundingLocked() const;
  // Brings the play's judgement up to the device's clock; whoever waits for it is told.
  void ObserveLocked() const;
  bool RunningLocked() const { return phase_ == Phase::kPlaying || phase_ == Phase::kTail; }

  // The song's thread.
  void Run();
  bool TakeRequest(Request& request);
  void WaitForRequest();
  void Serve(const Request& request);
  // The phase, which only this thread changes.
  Phase PhaseNow() const;
  void ServeSeek();
  void ServePlay();
  int ServeStop();
  // Starts the stream, opening it anew once should it fail; the result code.
  int StartStream();
  int ReopenStream();
  // Opens a stream on the device list as it should be: built anew first when it names an old
  // default, and once more when the open fails for want of a device it lists.
  OpenedStream OpenOnCurrentList();
  int ServePutDown();
  void FillHead();
  bool Feed();
  bool WriteSong(std::int64_t free);
  bool WritePad(std::int64_t free);
  void EndPad();
  // The device position the running stream has sounded, clamped to the frames written.
  std::int64_t SoundedPosition() const;
  // Takes back what was written but never sounded, so the song goes on from where it was heard.
  void KeepHeardPosition();
  void StreamDied(int result);
  void FailPlay(int result);
  void Answer(std::uint64_t ticket, int result);

  AudioOutput& output_;
  const MonotonicClock& clock_;
  DeviceListKeeper& lists_;
  SongSource source_;
  StreamFormat format_;
  double device_rate_ = 0;
  StreamCounters counters_;
  std::unique_ptr<OutputStream> stream_;
  std::vector<float> buffer_;
  std::int64_t position_ = 0;    // the next device frame written; the song's thread's own
  std::int64_t pad_frames_ = 0;  // silence sounded after the end before the stream stops

  mutable std::mutex mutex_;
  std::condition_variable wake_;              // requests for the song's thread
  mutable std::condition_variable answered_;  // answers and plays' outcomes, for whoever waits
  std::deque<Request> requests_;
  std::uint64_t tickets_ = 0;
  std::uint64_t answered_ticket_ = 0;
  int answer_ = 0;
  // What others see, written by the song's thread except where noted.
  Phase phase_ = Phase::kIdle;
  std::int64_t shown_position_ = 0;  // idle: the play position; running: where the run began
  std::int64_t sounded_at_start_ = 0;
  bool seek_pending_ = false;      // by others, until the thread serves it
  bool sounding_ = false;          // set by Play, cleared when the play ends
  std::uint64_t plays_asked_ = 0;  // by others
  std::uint64_t play_served_ = 0;
  mutable SongClock play_clock_;  // by whoever reads the device's clock
  int failure_ = 0;

  std::thread thread_;
};

}  // namespace orvane
