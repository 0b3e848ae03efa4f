#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "control/PlaybackHealth.h"

namespace orvane {

// What became of a song's last Play, as the device's own clock tells it.
struct PlayReport {
  enum class Stage {
    kNone,     // never played
    kPending,  // asked for; the device has not taken any of it since
    kReached,  // the device took the song's sound
    kFailed,   // the song never reached the device, or its stream died while it sounded
    kStalled,  // the device stopped taking the song while it should have sounded
  };
  Stage stage = Stage::kNone;
  int result = 0;                            // kFailed: the failure's result code
  std::chrono::milliseconds pending_for{0};  // kPending: since it was asked
  std::chrono::milliseconds stalled_for{0};  // kStalled: how long the device stood still
};

// One song held open by the sound service. Positions and lengths count frames. No call waits
// on the sound device for longer than the service's patience.
class SoundDevice {
 public:
  // Closes the song, silencing it, without waiting on the device.
  virtual ~SoundDevice() = default;

  virtual std::int64_t Position() const = 0;  // how far the song has sounded
  virtual std::int64_t Length() const = 0;
  virtual bool Sounding() const = 0;

  // Each returns the service's result code, 0 on success.
  virtual int SeekToStart() = 0;  // returns at once
  virtual int Play() = 0;         // from the current position to the end; returns at once
  virtual int Stop() = 0;         // returns once the sound is silent; the position stays

  // A device that cannot fail or tell keeps the defaults below.
  // The result code that killed the song's stream (its sound server went away, the device
  // disappeared), or 0 while the stream lives; the next Play opens it anew.
  virtual int Failure() const { return 0; }
  virtual PlayReport LastPlay() const { return {}; }
  // The last play's report once it is no longer pending, or after `patience`.
  virtual PlayReport AwaitPlay(std::chrono::milliseconds /*patience*/) const { return LastPlay(); }
  // The counters and the stream's state; the error text is the player's to add.
  virtual PlaybackHealth Health() const { return {}; }
};

// The result code of a request that the sound side did not answer within the patience.
inline constexpr int kNoAnswerResult = 1010;
// The result code of a play whose first frames the device had not taken when it was judged.
inline constexpr int kNotStartedResult = 1012;

struct OpenedSong {
  int result = 0;
  std::unique_ptr<SoundDevice> device;  // null when the open failed
  std::string
      message{};  // what to tell instead of the result's own text, when that says too little
};

// The back end that opens sound files by path and names its result codes.
class SoundService {
 public:
  virtual ~SoundService() = default;

  // Waits until the song is ready to sound, or for the service's patience.
  virtual OpenedSong Open(const std::string& path) = 0;
  // Nothing for a code the service does not know.
  virtual std::optional<std::string> ErrorText(int result) const = 0;
  // How long the window waits for the sound side when it needs an answer now.
  static constexpr std::chrono::milliseconds kPatience{200};
};

}  // namespace orvane
