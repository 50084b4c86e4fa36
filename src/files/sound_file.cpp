#include "files/sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>

#include "files/sound_reader.h"
#include "files/sound_writer.h"

namespace fw {

std::int16_t SampleToSixteenBits(double sample) {
  if (std::isnan(sample)) return 0;
  const double scaled = sample * 32768.0;
  if (scaled >= 32767.0) return 32767;
  if (scaled <= -32768.0) return -32768;
  // Halves away from zero, as lround, without its library call: the truncation and
  // the fraction are exact in this range.
  auto whole = static_cast<std::int32_t>(scaled);
  const double fraction = scaled - static_cast<double>(whole);
  if (fraction >= 0.5) ++whole;
  if (fraction <= -0.5) --whole;
  return static_cast<std::int16_t>(whole);
}

bool NameEndsWith(const std::string& path, const std::string& ending) {
  return path.size() >= ending.size() &&
         std::equal(ending.rbegin(), ending.rend(), path.rbegin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

bool IsRawName(const std::string& path) { return NameEndsWith(path, ".raw"); }

MonoSound ReadMonoSound(const std::string& path, std::uint64_t maxBytes) {
  MonoSoundReader reader(path, maxBytes);
  MonoSound sound;
  sound.sampleRate = reader.SampleRate();
  sound.notes = reader.Notes();
  std::int16_t piece[4096];
  while (const std::size_t got = reader.Read(piece, std::size(piece))) {
    sound.samples.insert(sound.samples.end(), piece, piece + got);
  }
  return sound;
}

std::optional<int> SndfileFormatFor(const std::string& path) {
  if (NameEndsWith(path, ".wav")) return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  if (NameEndsWith(path, ".au")) return SF_FORMAT_AU | SF_FORMAT_PCM_16;
  if (NameEndsWith(path, ".flac")) return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  if (NameEndsWith(path, ".ogg")) return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  return std::nullopt;
}

std::string OutputNameProblem(const std::string& path) {
  if (IsRawName(path) || SndfileFormatFor(path)) return {};
  return "cannot write " + path + ": the name must end in .wav, .au, .flac, .ogg or .raw";
}

void WriteSound(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels,
                int sampleRate, FileCalls calls) {
  SoundWriter writer(path, channels, sampleRate, calls);
  if (interleaved.size() % static_cast<std::size_t>(channels) != 0) {
    throw SoundFileError("cannot write " + path + ": incomplete frame");
  }
  writer.Write(interleaved.data(), interleaved.size() / static_cast<std::size_t>(channels));
  writer.Commit();
}

}  // namespace fw
