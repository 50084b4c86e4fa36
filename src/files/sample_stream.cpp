#include "files/sample_stream.h"

#include <cerrno>

#include "files/file_errors.h"

namespace fw {

bool NameMarksAuFile(const std::string& path) {
  return path.find(".au") != std::string::npos || path.find(".AU") != std::string::npos;
}

SampleStream::~SampleStream() {
  if (file_ != nullptr) std::fclose(file_);
}

bool SampleStream::Open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rbe");  // close-on-exec
  if (file == nullptr) return false;
  if (file_ != nullptr) std::fclose(file_);
  file_ = file;
  swapped_ = NameMarksAuFile(path);
  return true;
}

int SampleStream::Read(std::int16_t* out, int count) {
  if (file_ == nullptr || count <= 0) return 0;
  bytes_.resize(2 * static_cast<std::size_t>(count));
  errno = 0;
  const std::size_t got = std::fread(bytes_.data(), 2, static_cast<std::size_t>(count), file_);
  if (got < static_cast<std::size_t>(count) && std::ferror(file_) != 0) {
    const int error = errno;
    std::clearerr(file_);
    throw IoErrorFromErrno(error);
  }
  for (std::size_t i = 0; i < got; ++i) {
    const std::uint8_t first = bytes_[2 * i];
    const std::uint8_t second = bytes_[2 * i + 1];
    const unsigned value = swapped_ ? (static_cast<unsigned>(first) << 8) | second
                                    : (static_cast<unsigned>(second) << 8) | first;
    out[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  }
  return static_cast<int>(got);
}

void SampleStream::SeekToByte(long offset) {
  if (file_ == nullptr) return;
  errno = 0;
  if (std::fseek(file_, offset, SEEK_SET) != 0) throw IoErrorFromErrno(errno);
}

}  // namespace fw
