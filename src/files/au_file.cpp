#include "files/au_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "files/file_errors.h"

namespace fw {
namespace {

void PutBigEndian32(std::uint8_t* out, std::uint32_t v) {
  out[0] = static_cast<std::uint8_t>(v >> 24);
  out[1] = static_cast<std::uint8_t>(v >> 16);
  out[2] = static_cast<std::uint8_t>(v >> 8);
  out[3] = static_cast<std::uint8_t>(v);
}

void WriteChecked(std::FILE* file, const void* data, std::size_t bytes) {
  errno = 0;
  if (std::fwrite(data, 1, bytes, file) != bytes) throw IoErrorFromErrno(errno);
}

// Each step leaves its bytes in the file, and a full disk fails the step that hit it.
void FlushChecked(std::FILE* file) {
  errno = 0;
  if (std::fflush(file) != 0) throw IoErrorFromErrno(errno);
}

std::uint32_t Field(std::span<const std::uint8_t> bytes, std::size_t at, bool bigEndian) {
  const std::uint32_t b0 = bytes[at], b1 = bytes[at + 1], b2 = bytes[at + 2], b3 = bytes[at + 3];
  return bigEndian ? (b0 << 24) | (b1 << 16) | (b2 << 8) | b3 : (b3 << 24) | (b2 << 16) | (b1 << 8) | b0;
}

constexpr std::uint32_t kAuMagic = 0x2e736e64;  // ".snd"
constexpr std::size_t kAuFieldBytes = 24;

}  // namespace

AuHeaderCheck ParseAuHeader(std::span<const std::uint8_t> prefix, std::uint64_t fileSize) {
  AuHeaderCheck check;
  if (prefix.size() < kAuFieldBytes) {
    check.problem = "too short for an AU header (" + std::to_string(prefix.size()) + " bytes)";
    return check;
  }
  const std::uint32_t magic = Field(prefix, 0, true);
  const bool bigEndian = magic == kAuMagic;
  if (!bigEndian && Field(prefix, 0, false) != kAuMagic) {
    char hex[11];
    std::snprintf(hex, sizeof hex, "0x%08x", magic);
    check.problem = std::string("not an AU file: magic number ") + hex + ", expected 0x2e736e64 (\".snd\")";
    return check;
  }
  check.dataOffset = Field(prefix, 4, bigEndian);
  const std::uint32_t dataSize = Field(prefix, 8, bigEndian);
  check.encoding = Field(prefix, 12, bigEndian);
  check.sampleRate = Field(prefix, 16, bigEndian);
  check.channels = Field(prefix, 20, bigEndian);
  if (check.dataOffset < kAuFieldBytes || check.dataOffset > fileSize) {
    check.problem = "AU data offset " + std::to_string(check.dataOffset) + " lies outside the " +
                    std::to_string(fileSize) + "-byte file";
    return check;
  }
  if (check.channels == 0 || check.sampleRate == 0) {
    check.problem = "AU header with " + std::to_string(check.channels) + " channels at " +
                    std::to_string(check.sampleRate) + " Hz";
    return check;
  }
  const std::uint64_t present = fileSize - check.dataOffset;
  check.dataBytes = present;
  if (dataSize != kAuUnknownSize && dataSize < present) check.dataBytes = dataSize;
  if (dataSize != kAuUnknownSize && dataSize > present) {
    check.note = "the AU header announces " + std::to_string(dataSize) + " data bytes but the file holds " +
                 std::to_string(present) + "; playing what is there";
  }
  check.valid = true;
  return check;
}

std::array<std::uint8_t, 24> AuHeaderFields(std::uint32_t dataSize, std::uint32_t sampleRate) {
  std::array<std::uint8_t, 24> h{};
  h[0] = '.';
  h[1] = 's';
  h[2] = 'n';
  h[3] = 'd';
  PutBigEndian32(&h[4], kAuHeaderSize);
  PutBigEndian32(&h[8], dataSize);
  PutBigEndian32(&h[12], kAuEncodingLinear16);
  PutBigEndian32(&h[16], sampleRate);
  PutBigEndian32(&h[20], 1);
  return h;
}

std::uint32_t AuDataSizeField(std::int64_t dataBytes) {
  if (dataBytes < 0) return 0;
  return dataBytes >= kAuUnknownSize ? kAuUnknownSize : static_cast<std::uint32_t>(dataBytes);
}

AuFileWriter::~AuFileWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

void AuFileWriter::Create(const std::string& path, std::uint32_t sampleRate) {
  Close();
  errno = 0;
  // Close-on-exec: programs the window starts (the mixer, the desktop opener) never
  // hold the take open.
  std::FILE* file = std::fopen(path.c_str(), "wbe");
  if (file == nullptr) throw IoErrorFromErrno(errno);
  file_ = file;
  path_ = path;
  std::array<std::uint8_t, kAuHeaderSize> header{};
  const auto fields = AuHeaderFields(kAuUnknownSize, sampleRate);
  std::copy(fields.begin(), fields.end(), header.begin());
  WriteChecked(file_, header.data(), header.size());
  FlushChecked(file_);
}

void AuFileWriter::AppendSamples(const std::atomic<std::int16_t>* samples, std::int32_t count) {
  if (file_ == nullptr) throw IoError::Other(103);  // file not open
  constexpr std::int32_t kBlock = 32768;
  std::vector<std::uint8_t> bytes(2 * static_cast<std::size_t>(std::min(count, kBlock)));
  for (std::int32_t done = 0; done < count;) {
    const std::int32_t now = std::min(kBlock, count - done);
    for (std::int32_t i = 0; i < now; ++i) {
      const auto v = static_cast<std::uint16_t>(samples[done + i].load(std::memory_order_relaxed));
      bytes[2 * static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> 8);
      bytes[2 * static_cast<std::size_t>(i) + 1] = static_cast<std::uint8_t>(v);
    }
    WriteChecked(file_, bytes.data(), 2 * static_cast<std::size_t>(now));
    done += now;
  }
  FlushChecked(file_);
}

std::int64_t AuFileWriter::Size() {
  if (file_ == nullptr) throw IoError::Other(103);
  FlushChecked(file_);
  errno = 0;
  const long position = std::ftell(file_);
  if (position < 0) throw IoErrorFromErrno(errno);
  if (std::fseek(file_, 0, SEEK_END) != 0) throw IoErrorFromErrno(errno);
  const long size = std::ftell(file_);
  if (size < 0 || std::fseek(file_, position, SEEK_SET) != 0) throw IoErrorFromErrno(errno);
  return size;
}

void AuFileWriter::Truncate(std::int64_t bytes) {
  if (file_ == nullptr) throw IoError::Other(103);
  FlushChecked(file_);
  errno = 0;
  if (::ftruncate(::fileno(file_), static_cast<off_t>(bytes)) != 0) throw IoErrorFromErrno(errno);
  if (std::fseek(file_, 0, SEEK_END) != 0) throw IoErrorFromErrno(errno);
}

void AuFileWriter::Close() {
  if (file_ == nullptr) return;
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) throw IoErrorFromErrno(errno);
}

void AuFileWriter::WriteHeader(const std::string& path, std::uint32_t dataSize, std::uint32_t sampleRate) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "r+be");
  if (file == nullptr) throw IoErrorFromErrno(errno);
  const auto fields = AuHeaderFields(dataSize, sampleRate);
  errno = 0;
  const bool written = std::fwrite(fields.data(), 1, fields.size(), file) == fields.size();
  const int writeError = errno;
  errno = 0;
  const bool closed = std::fclose(file) == 0;
  if (!written) throw IoErrorFromErrno(writeError);
  if (!closed) throw IoErrorFromErrno(errno);
}

}  // namespace fw
