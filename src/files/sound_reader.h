#pragma once
// A sound file read as mono 16-bit samples a piece at a time, so that a long file
// never has to fit in memory; ReadMonoSound reads a whole file through it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/file_descriptor.h"
#include "files/sndfile_handle.h"
#include "files/sound_file.h"

namespace fw {

class MonoSoundReader {
 public:
  // Opens and checks the file (missing, a directory, unreadable, an odd length of a
  // .raw file, an AU file with a wrong magic number, larger than maxBytes); throws
  // SoundFileError naming the file and the problem.
  explicit MonoSoundReader(const std::string& path, std::uint64_t maxBytes = kMaxInputBytes);

  int SampleRate() const { return sampleRate_; }  // 0 for .raw, which carries no rate
  const std::vector<std::string>& Notes() const { return notes_; }

  // Up to `count` samples into `out`; fewer only at the end of the file. Throws
  // SoundFileError when a read fails or the input passes maxBytes.
  std::size_t Read(std::int16_t* out, std::size_t count);

 private:
  bool Refill();
  bool RefillRaw();
  bool RefillWithSndfile();
  [[noreturn]] void TooLarge(const std::string& why) const;

  std::string path_;
  std::uint64_t maxBytes_;
  int sampleRate_ = 0;
  std::vector<std::string> notes_;
  std::optional<FileDescriptor> raw_;
  SndfileHandle sndfile_;
  std::size_t channels_ = 1;
  std::uint64_t bytesRead_ = 0;  // of the .raw file; 2 a sample read by libsndfile
  std::vector<std::uint8_t> bytes_;
  std::vector<double> frames_;
  std::vector<std::int16_t> samples_;  // read, not yet handed out
  std::size_t next_ = 0;
};

}  // namespace fw
