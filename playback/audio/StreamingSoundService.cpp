#include "playback/audio/StreamingSoundService.h"

#include <sndfile.h>

#include <cstring>

#include "playback/audio/SongFeed.h"
#include "playback/audio/SongStream.h"
#include "playback/audio/SoundFile.h"

namespace orvane {

namespace {

struct OpenedFeed {
  int result = 0;
  std::string message;
  std::shared_ptr<SongFeed> feed;
};

}  // namespace

StreamingSoundService::StreamingSoundService(AudioOutput& output)
    : StreamingSoundService(output, steady_clock_) {}

StreamingSoundService::StreamingSoundService(AudioOutput& output, const MonotonicClock& clock)
    : output_(output), clock_(clock) {
  // Finding the devices takes a good part of a second; done before any song is asked for.
  worker_.Post([&output] { output.Prepare(); });
}

StreamingSoundService::StreamingSoundService(std::unique_ptr<AudioOutput> output)
    : StreamingSoundService(*output) {
  owned_ = std::move(output);
}

StreamingSoundService::~StreamingSoundService() {
  if (owned_) {
    // Closed after the songs, on the worker. Should the worker not finish, the device stays
    // with it: it may still be inside one of the device's calls.
    worker_.Post(
        [output = std::shared_ptr<AudioOutput>(owned_.release())]() mutable { output.reset(); });
  }
  worker_.Finish(SoundWorker::kEndPatience);
}

OpenedSong StreamingSoundService::Open(const std::string& path) {
  std::optional<OpenedFeed> opened = worker_.Ask<OpenedFeed>(
      [this, path] {
        std::unique_ptr<SongFeed> made;
        std::string message;
        const int result = SongFeed::Open(path, {output_, clock_, *this}, made, message);
        std::shared_ptr<SongFeed> feed = std::move(made);
        if (feed) {
          feeds_.push_back(feed);
        }
        return OpenedFeed{result, std::move(message), std::move(feed)};
      },
      kPatience,
      // Opened after the caller gave up: closed again here, on the worker.
      [](OpenedFeed late) { late.feed.reset(); });
  if (!opened) {
    return {sound_result::kNoAnswer, nullptr};
  }
  if (!opened->feed) {
    return {opened->result, nullptr, std::move(opened->message)};
  }
  return {0, std::make_unique<SongStream>(std::move(opened->feed), worker_)};
}

bool StreamingSoundService::Settle(std::chrono::milliseconds patience) {
  return worker_.Ask<bool>([] { return true; }, patience, [](bool) {}).has_value();
}

bool StreamingSoundService::RebuildDeviceList() {
  if (worker_.OnThread()) {
    return RebuildOnWorker();
  }
  return worker_.Ask<bool>([this] { return RebuildOnWorker(); }, kRebuildPatience, [](bool) {})
      .value_or(false);
}

bool StreamingSoundService::RebuildOnWorker() {
  bool all_down = true;
  for (auto it = feeds_.begin(); it != feeds_.end();) {
    if (const std::shared_ptr<SongFeed> feed = it->lock()) {
      all_down = feed->PutDownStream(kPatience) && all_down;
      ++it;
    } else {
      it = feeds_.erase(it);
    }
  }
  return all_down && output_.Rebuild();
}

static std::optional<std::string> OwnText(int result) {
  switch (result) {
    case 0:
      return "No error";
    case sound_result::kNoFileName:
      return "No song file is selected";
    case sound_result::kFileNotFound:
      return "The song file was not found";
    case sound_result::kFileAccessDenied:
      return "The song file cannot be read: access denied";
    case sound_result::kNotAFile:
      return "The song's name is a folder, not a sound file";
    case sound_result::kSpecialFile:
      return "The song's name is a pipe or a device, which is not a sound file";
    case sound_result::kRateOutsideRange:
      return "The song's sample rate is outside what Orvane plays (" + SongFeed::PlayableRates() +
             ")";
    case sound_result::kNoSoundData:
      return "The song file holds no sound";
    case sound_result::kReaderNotStarted:
      return "The song cannot be read ahead: no thread could be started";
    case sound_result::kEmptyFile:
      return "The song file is empty";
    case sound_result::kNoConversion:
      return "The song's sample rate cannot be converted to the sound device's";
    case sound_result::kDeviceRateChanged:
      return "The sound device now runs at another sample rate than when the song was chosen; "
             "choose the song again";
    case sound_result::kTooManyChannels:
      return "The song has more channels than the sound device can play";
    case sound_result::kNoAnswer:
      return "The sound device did not answer in time";
    case sound_result::kNotStarted:
      return "The sound device had not started the song by the trial's decision";
    case sound_result::kSeekMidSong:
      return "A song can only be rewound from its end";
    default:
      return std::nullopt;
  }
}

// The decoder's own text, which it returns even for numbers it does not know.
static std::optional<std::string> DecoderText(int result) {
  const char* text = sf_error_number(result);
  if (text == nullptr || std::strncmp(text, "No error defined", 16) == 0) {
    return std::nullopt;
  }
  return "The song file cannot be played: " + std::string(text);
}

std::optional<std::string> StreamingSoundService::ErrorText(int result) const {
  if (result < 0) {
    return output_.ErrorText(result);
  }
  if (result >= 1000) {
    return OwnText(result);
  }
  return result == 0 ? OwnText(0) : DecoderText(result);
}

}  // namespace orvane
