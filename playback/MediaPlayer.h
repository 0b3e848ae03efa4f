#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "control/Player.h"
#include "playback/SoundService.h"

namespace orvane {

inline constexpr const char* kNoDeviceOpenMessage = "No MCI device open";
inline constexpr const char* kUnknownErrorMessage = "Unknown error code";

// Why a trial's song was lost when the device stopped taking it for that long.
std::string StalledText(std::chrono::milliseconds stalled_for);

// Holds at most one song open on the sound service and plays it on request. Failures are raised
// as EMCIDeviceError; a song that never reached the device is told by LostSong, and the song is
// kept for the next Play whatever befell it, so that a sound path that works again plays it
// again. An open the sound side does not answer within its patience fails, and the player is
// left without a song.
class MediaPlayer final : public Player {
 public:
  enum class State { kIdle, kReady, kBroken };

  explicit MediaPlayer(SoundService& service) : service_(service) {}
  ~MediaPlayer() override { Close(); }
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  void Open();
  // Returns at once; the sound service closes the song.
  void Close();
  // Starts the song and returns at once; a song that ran to its end starts from its beginning.
  void Play() override;
  void Stop();

  bool Enabled() const override { return enabled_; }
  PlaybackHealth Health() const override;
  std::string LostSong() const override;
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
  SoundDevice& OpenDevice();
  std::string Text(int result) const;
  bool PlayedThisSong() const;
  // Why the play this report tells of was lost; empty while it may still come or has come.
  std::string LostText(const PlayReport& report) const;
  // Keeps the result and raises the message, or the result's text when there is none.
  [[noreturn]] void Fail(int result, std::string message = {});

  SoundService& service_;
  std::unique_ptr<SoundDevice> device_;
  std::function<void(bool)> listener_;
  std::string file_name_;
  bool enabled_ = false;
  int last_result_ = 0;
  std::string last_error_;
  std::uint64_t opened_ = 0;       // songs opened so far
  std::uint64_t played_song_ = 0;  // which of them the last Play started
};

}  // namespace orvane
