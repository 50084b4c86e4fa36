#pragma once
// The AU sound file the recorder writes: a 128-byte big-endian header (".snd",
// data offset, data size, encoding 3 = 16-bit linear, rate, channels, zero
// annotation) followed by big-endian 16-bit mono samples. Every step is checked
// and throws IoError.
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace fw {

inline constexpr int kAuHeaderSize = 128;
inline constexpr std::uint32_t kAuEncodingLinear16 = 3;

// The data size of a file whose writer does not know it yet (or that holds more than
// the field counts): readers take everything up to the end of the file.
inline constexpr std::uint32_t kAuUnknownSize = 0xffffffff;

// The header's first 24 bytes; the annotation that follows is zero.
std::array<std::uint8_t, 24> AuHeaderFields(std::uint32_t dataSize, std::uint32_t sampleRate);

// The header's data size field for `dataBytes` bytes: the unknown size when they do
// not fit in 32 bits.
std::uint32_t AuDataSizeField(std::int64_t dataBytes);

// The fields of an AU header as read from a file, checked against the file's size.
struct AuHeaderCheck {
  bool valid = false;
  std::string problem;  // why the file is refused (valid false)
  std::string note;     // what the reader does about an inconsistency (valid true)
  std::uint32_t dataOffset = 0;
  std::uint64_t dataBytes = 0;  // the bytes that can actually be read
  std::uint32_t encoding = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t channels = 0;
};

// Parses the first bytes of an AU file (".snd" big-endian or "dns." little-endian)
// of fileSize bytes. A data size beyond the end of the file keeps what is there,
// with a note.
AuHeaderCheck ParseAuHeader(std::span<const std::uint8_t> prefix, std::uint64_t fileSize);

class AuFileWriter {
 public:
  AuFileWriter() = default;
  ~AuFileWriter();
  AuFileWriter(const AuFileWriter&) = delete;
  AuFileWriter& operator=(const AuFileWriter&) = delete;

  // Creates (or truncates) the file with a header of unknown data size, so that the
  // file is a readable take from the start, however the program ends.
  void Create(const std::string& path, std::uint32_t sampleRate);
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }
  // Appends samples[0 .. count-1] as big-endian 16-bit values.
  void AppendSamples(const std::atomic<std::int16_t>* samples, std::int32_t count);
  std::int64_t Size();
  // Cuts the file to `bytes` bytes and appends from there.
  void Truncate(std::int64_t bytes);
  void Close();

  // Opens the file by path for update and writes the header fields at offset 0.
  static void WriteHeader(const std::string& path, std::uint32_t dataSize, std::uint32_t sampleRate);

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

}  // namespace fw
