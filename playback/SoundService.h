#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orvane {

// One song held open by the sound service. Positions and lengths count frames.
class SoundDevice {
 public:
  virtual ~SoundDevice() = default;  // closes the song, silencing it

  virtual std::int64_t Position() const = 0;
  virtual std::int64_t Length() const = 0;
  virtual bool Sounding() const = 0;

  // Each returns the service's result code, 0 on success. None blocks on the sound itself.
  virtual int SeekToStart() = 0;
  virtual int Play() = 0;  // from the current position to the end, without waiting
  virtual int Stop() = 0;  // returns once the sound is silent; the position stays
};

struct OpenedSong {
  int result = 0;
  std::unique_ptr<SoundDevice> device;  // null when the open failed
};

// The back end that opens sound files by path and names its result codes.
class SoundService {
 public:
  virtual ~SoundService() = default;

  // Waits until the song is ready to sound.
  virtual OpenedSong Open(const std::string& path) = 0;
  // Nothing for a code the service does not know.
  virtual std::optional<std::string> ErrorText(int result) const = 0;
};

}  // namespace orvane
