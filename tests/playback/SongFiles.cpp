#include "tests/playback/SongFiles.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <random>
#include <stdexcept>

#include "playback/platform/Utf8Path.h"

namespace orvane::testing {

TempFolder::TempFolder() {
  std::random_device seed;
  path_ = std::filesystem::temp_directory_path() /
          ("orvane-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
  std::filesystem::create_directories(path_);
  path_ = std::filesystem::canonical(path_);
}

namespace {

// Windows refuses to delete a read-only file, and POSIX to empty a folder without write access.
void MakeRemovable(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  if (std::filesystem::is_directory(std::filesystem::symlink_status(path, ignored))) {
    for (const auto& entry : std::filesystem::directory_iterator(path, ignored)) {
      MakeRemovable(entry.path());
    }
  }
}

}  // namespace

TempFolder::~TempFolder() {
  MakeRemovable(path_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Utf8() const {
  return Utf8FromPath(path_);
}

std::string TempFolder::Utf8(const std::string& name) const {
  return Utf8FromPath(path_ / PathFromUtf8(name));
}

void TempFolder::Touch(const std::string& name, const std::string& bytes) const {
  std::ofstream(path_ / PathFromUtf8(name), std::ios::binary) << bytes;
}

float TestSample(std::int64_t frame, int channel) {
  // Multiples of 1/64 below 1 survive every encoding from 8-bit PCM up.
  return static_cast<float>(((frame * 7 + channel * 13) % 63) - 31) / 64.0f;
}

namespace {

void WriteSamples(const std::filesystem::path& path, std::int64_t frames, SongFormat format,
                  const std::function<float(std::int64_t, int)>& sample) {
  SF_INFO info{};
  info.channels = format.channels;
  info.samplerate = format.sample_rate;
  info.format = SF_FORMAT_WAV | format.subtype;
  // The narrow open takes ASCII names on every platform, so the song is written under a name of
  // the temporary folder's and copied to its own after.
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() /
      ("orvane-writing-" + std::to_string(std::random_device()()) + ".tmp");
  SNDFILE* file = sf_open(scratch.string().c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    throw std::runtime_error(std::string("cannot write test song: ") + sf_strerror(nullptr));
  }
  std::vector<float> block(1024 * static_cast<std::size_t>(format.channels));
  for (std::int64_t start = 0; start < frames; start += 1024) {
    const std::int64_t count = std::min<std::int64_t>(1024, frames - start);
    for (std::int64_t f = 0; f < count; ++f) {
      for (int c = 0; c < format.channels; ++c) {
        block[static_cast<std::size_t>(f * format.channels + c)] = sample(start + f, c);
      }
    }
    sf_writef_float(file, block.data(), count);
  }
  sf_close(file);
  std::filesystem::copy_file(scratch, path, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove(scratch);
}

}  // namespace

void WriteSong(const std::filesystem::path& path, std::int64_t frames, SongFormat format) {
  WriteSamples(path, frames, format, TestSample);
}

void WriteTones(const std::filesystem::path& path, std::int64_t frames, int sample_rate,
                const std::vector<Tone>& tones) {
  WriteSamples(path, frames, {1, sample_rate, SF_FORMAT_FLOAT}, [&](std::int64_t f, int) {
    double sum = 0;
    for (const Tone& tone : tones) {
      sum += tone.amplitude *
             std::sin(2 * std::numbers::pi * tone.hertz * static_cast<double>(f) / sample_rate);
    }
    return static_cast<float>(sum);
  });
}

double ToneAmplitude(const std::vector<float>& samples, double hertz, double sample_rate) {
  double re = 0;
  double im = 0;
  for (std::size_t n = 0; n < samples.size(); ++n) {
    const double phase = 2 * std::numbers::pi * hertz * static_cast<double>(n) / sample_rate;
    re += samples[n] * std::cos(phase);
    im += samples[n] * std::sin(phase);
  }
  return 2 * std::hypot(re, im) / static_cast<double>(samples.size());
}

std::vector<char> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace orvane::testing
