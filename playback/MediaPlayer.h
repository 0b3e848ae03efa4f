#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "control/Player.h"
#include "playback/SoundService.h"

namespace orvane {

inline constexpr const char* kNoDeviceOpenMessage = "No MCI device open";
inline constexpr const char* kUnknownErrorMessage = "Unknown error code";

// Holds at most one song open on the sound service and plays it on request. Failures are
// raised as EMCIDeviceError, except those of starting, stopping and rewinding, which only
// leave their result code behind.
class MediaPlayer final : public Player {
 public:
  enum class State { kIdle, kReady, kBroken };

  explicit MediaPlayer(SoundService& service) : service_(service) {}
  ~MediaPlayer() override { Close(); }
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  void Open();
  void Close();
  // Starts the song and returns at once; a song that ran to its end starts from its beginning.
  void Play() override;
  void Stop();

  bool Enabled() const override { return enabled_; }
  PlaybackHealth Health() const override;
  void SetEnabled(bool enabled);
  // Told of every change of Enabled, so that a button bar can follow it.
  void SetEnabledListener(std::function<void(bool)> listener) { listener_ = std::move(listener); }

  const std::string& FileName() const { return file_name_; }
  void SetFileName(std::string file_name) { file_name_ = std::move(file_name); }

  State CurrentState() const;
  bool IsOpen() const { return device_ != nullptr; }
  bool Sounding() const { return device_ && device_->Sounding(); }
  std::int64_t Position() const { return device_ ? device_->Position() : 0; }
  std::int64_t Length() const { return device_ ? device_->Length() : 0; }
  int LastResult() const { return last_result_; }

 private:
  SoundDevice& OpenDevice() const;

  SoundService& service_;
  std::unique_ptr<SoundDevice> device_;
  std::function<void(bool)> listener_;
  std::string file_name_;
  bool enabled_ = false;
  int last_result_ = 0;
};

}  // namespace orvane
