#pragma once
// The AU sound file the recorder writes: a 128-byte big-endian header (".snd",
// data offset, data size, encoding 3 = 16-bit linear, rate, channels, zero
// annotation) followed by big-endian 16-bit mono samples. Every step is checked
// and throws IoError.
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

namespace fw {

inline constexpr int kAuHeaderSize = 128;
inline constexpr std::uint32_t kAuEncodingLinear16 = 3;

// The header's first 24 bytes; the annotation that follows is zero.
std::array<std::uint8_t, 24> AuHeaderFields(std::uint32_t dataSize, std::uint32_t sampleRate);

class AuFileWriter {
 public:
  AuFileWriter() = default;
  ~AuFileWriter();
  AuFileWriter(const AuFileWriter&) = delete;
  AuFileWriter& operator=(const AuFileWriter&) = delete;

  // Creates (or truncates) the file and writes 128 zero bytes where the header goes.
  void Create(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }
  // Appends samples[0 .. count-1] as big-endian 16-bit values.
  void AppendSamples(const std::atomic<std::int16_t>* samples, std::int32_t count);
  std::int64_t Size();
  void Close();

  // Opens the file by path for update and writes the header fields at offset 0.
  static void WriteHeader(const std::string& path, std::uint32_t dataSize, std::uint32_t sampleRate);

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

}  // namespace fw
