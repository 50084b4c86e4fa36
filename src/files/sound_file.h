#pragma once
// Sound files for the command-line tool: mono 16-bit input from a headerless .raw
// file or anything libsndfile reads; WAV, AU, FLAC, Ogg Vorbis or .raw output by name.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/replacement_file.h"

namespace fw {

class SoundFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct MonoSound {
  std::vector<std::int16_t> samples;
  int sampleRate = 0;              // 0 for .raw, which carries no rate
  std::vector<std::string> notes;  // what the reader made of an inconsistent file
};

// No input is read past this size: a .raw name on a device that never ends
// (/dev/zero) stops here with a message.
inline constexpr std::uint64_t kMaxInputBytes = std::uint64_t{2} << 30;

// A sample on the ±1.0 scale as 16 bits: times 32768, rounded to nearest, clipped
// to -32768 .. 32767; NaN reads as 0.
std::int16_t SampleToSixteenBits(double sample);

// True when the name ends in `ending`, in any letter case.
bool NameEndsWith(const std::string& path, const std::string& ending);

// True when the name ends in ".raw" (any case): signed 16-bit little-endian, no header.
bool IsRawName(const std::string& path);

// Reads a file as mono; any sample format libsndfile knows (integer or float) is
// converted to 16 bits by SampleToSixteenBits, and the channels of a stereo (or
// wider) file are averaged, with a note. Throws SoundFileError naming the
// file and the problem (missing, a directory, unreadable, odd length of
// a .raw file, an AU file with a wrong magic number, larger than maxBytes).
MonoSound ReadMonoSound(const std::string& path, std::uint64_t maxBytes = kMaxInputBytes);

// The libsndfile format a name's extension asks for: .wav and .au 16-bit PCM, .flac
// 16-bit FLAC, .ogg Ogg Vorbis (any letter case); nullopt for any other name.
std::optional<int> SndfileFormatFor(const std::string& path);

// Empty when WriteSound can write a file of this name; otherwise the message that
// refuses it, to give before any work is done.
std::string OutputNameProblem(const std::string& path);

// Writes interleaved 16-bit frames: a .raw name gets headerless little-endian
// samples, any other name the format its extension asks for, at sampleRate. The file is written
// beside the target and renamed over it; every step, the close included, is
// checked and a failure names the file and the reason.
void WriteSound(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels,
                int sampleRate, FileCalls calls = FileCalls::System());

}  // namespace fw
