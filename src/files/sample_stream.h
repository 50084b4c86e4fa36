#pragma once
// A played sound file taken as raw 16-bit mono samples in 2-byte units, with
// no header parsed: little-endian, or big-endian (byte-swapped) for AU files.
// Reads and positioning are checked and throw IoError; an odd last byte is lost.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fw {

// True when the name contains ".au" or ".AU" anywhere, as the player decides.
bool NameMarksAuFile(const std::string& path);

class SampleStream {
 public:
  SampleStream() = default;
  ~SampleStream();
  SampleStream(const SampleStream&) = delete;
  SampleStream& operator=(const SampleStream&) = delete;

  // False (and the stream unchanged) when the file cannot be opened for reading.
  bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  bool Swapped() const { return swapped_; }

  // Reads up to count samples into out; returns how many whole samples were read.
  int Read(std::int16_t* out, int count);
  void SeekToByte(long offset);

 private:
  std::FILE* file_ = nullptr;
  bool swapped_ = false;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace fw
