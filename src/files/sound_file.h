#pragma once
// Sound files for the command-line tool: mono 16-bit input from a headerless .raw
// file or anything libsndfile reads; 16-bit PCM WAV (or .raw) output.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace fw {

class SoundFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct MonoSound {
  std::vector<std::int16_t> samples;
  int sampleRate = 0;  // 0 for .raw, which carries no rate
};

// True when the name ends in ".raw" (any case): signed 16-bit little-endian, no header.
bool IsRawName(const std::string& path);

// Reads a mono file; any sample format libsndfile knows is converted to 16 bit.
// Throws SoundFileError naming the file and the problem (missing, unreadable,
// not mono, odd length of a .raw file).
MonoSound ReadMonoSound(const std::string& path);

// Writes interleaved 16-bit frames: a .raw name gets headerless little-endian
// samples, any other name a 16-bit PCM WAV file at sampleRate.
void WriteSound(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels,
                int sampleRate);

}  // namespace fw
