#include "files/sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <memory>

namespace fw {
namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const noexcept { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

std::int16_t FromLittleEndian(unsigned char low, unsigned char high) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

MonoSound ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SoundFileError("cannot open " + path);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
  if (in.bad()) throw SoundFileError("cannot read " + path);
  if (bytes.size() % 2 != 0) throw SoundFileError(path + ": odd number of bytes in a 16-bit .raw file");
  MonoSound sound;
  sound.samples.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); i += 2)
    sound.samples.push_back(FromLittleEndian(bytes[i], bytes[i + 1]));
  return sound;
}

MonoSound ReadWithSndfile(const std::string& path) {
  SF_INFO info{};
  SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) throw SoundFileError("cannot read " + path + ": " + sf_strerror(nullptr));
  if (info.channels != 1) {
    throw SoundFileError(path + " has " + std::to_string(info.channels) +
                         " channels; only mono input is supported");
  }
  MonoSound sound;
  sound.sampleRate = info.samplerate;
  sound.samples.resize(static_cast<std::size_t>(std::max<sf_count_t>(info.frames, 0)));
  const sf_count_t read =
      sf_read_short(file.get(), sound.samples.data(), static_cast<sf_count_t>(sound.samples.size()));
  if (read < 0) throw SoundFileError("cannot read " + path);
  sound.samples.resize(static_cast<std::size_t>(read));
  return sound;
}

void WriteRaw(const std::string& path, const std::vector<std::int16_t>& samples) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw SoundFileError("cannot write " + path);
  std::vector<char> bytes;
  bytes.reserve(samples.size() * 2);
  for (const std::int16_t s : samples) {
    const auto u = static_cast<std::uint16_t>(s);
    bytes.push_back(static_cast<char>(u & 0xFFu));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw SoundFileError("cannot write " + path);
}

void WriteWav(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels,
              int sampleRate) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SndfileHandle file(sf_open(path.c_str(), SFM_WRITE, &info));
  if (!file) throw SoundFileError("cannot write " + path + ": " + sf_strerror(nullptr));
  const auto count = static_cast<sf_count_t>(interleaved.size());
  if (sf_write_short(file.get(), interleaved.data(), count) != count) {
    throw SoundFileError("cannot write " + path + ": " + sf_strerror(file.get()));
  }
}

}  // namespace

bool IsRawName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ending = path.substr(path.size() - 4);
  std::transform(ending.begin(), ending.end(), ending.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ending == ".raw";
}

MonoSound ReadMonoSound(const std::string& path) {
  return IsRawName(path) ? ReadRaw(path) : ReadWithSndfile(path);
}

void WriteSound(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels,
                int sampleRate) {
  if (channels < 1) throw SoundFileError("cannot write " + path + ": no channels");
  if (interleaved.size() % static_cast<std::size_t>(channels) != 0) {
    throw SoundFileError("cannot write " + path + ": incomplete frame");
  }
  if (IsRawName(path)) {
    WriteRaw(path, interleaved);
  } else {
    WriteWav(path, interleaved, channels, sampleRate);
  }
}

}  // namespace fw
