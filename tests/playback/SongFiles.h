#pragma once

#include <sndfile.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orvane::testing {

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string Utf8() const;
  std::string Utf8(const std::string& name) const;  // a name inside it
  void Touch(const std::string& name, const std::string& bytes = "") const;

 private:
  std::filesystem::path path_;
};

struct SongFormat {
  int channels = 1;
  int sample_rate = 8000;
  int subtype = SF_FORMAT_PCM_16;
};

// Frame f of channel c holds a value that tells both apart, exactly representable in 8 bits.
float TestSample(std::int64_t frame, int channel);

// Writes a WAV file of the given frames of TestSample.
void WriteSong(const std::filesystem::path& path, std::int64_t frames, SongFormat format = {});

struct Tone {
  double hertz;
  double amplitude;
};

// Writes a mono 32-bit float WAV file of the sum of the given sines.
void WriteTones(const std::filesystem::path& path, std::int64_t frames, int sample_rate,
                const std::vector<Tone>& tones);

// The amplitude of one frequency in a mono signal that holds whole periods of it.
double ToneAmplitude(const std::vector<float>& samples, double hertz, double sample_rate);

std::vector<char> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<char>& bytes);

}  // namespace orvane::testing
