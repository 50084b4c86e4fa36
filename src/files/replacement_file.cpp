#include "files/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "files/file_errors.h"

namespace fw {
namespace {

std::string ResolvedTarget(const std::string& target) {
  std::error_code error;
  if (!std::filesystem::is_symlink(target, error)) return target;
  const auto resolved = std::filesystem::weakly_canonical(target, error);
  return error ? target : resolved.string();
}

// A device or a pipe (/dev/null, /dev/stdout) is written in place: renaming over it
// would replace the device node.
bool IsSpecialFile(const std::string& target) {
  struct stat status {};
  return ::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

// A new file gets the usual rw-r--r--; a replaced one keeps its mode.
mode_t ModeFor(const std::string& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0) return status.st_mode & 07777;
  return 0644;
}

}  // namespace

FileCalls FileCalls::System() { return FileCalls{::write, ::fsync, ::close}; }

ReplacementFile::ReplacementFile(const std::string& target, FileCalls calls)
    : target_(target), calls_(calls) {
  if (target.empty()) Fail(ENOENT);
  const std::string written = ResolvedTarget(target);
  if (IsSpecialFile(written)) {
    fd_ = ::open(written.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) Fail(errno);
    return;
  }
  std::vector<char> pattern(written.begin(), written.end());
  const std::string suffix = ".tmp-XXXXXX";
  pattern.insert(pattern.end(), suffix.begin(), suffix.end());
  pattern.push_back('\0');
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) Fail(errno);
  temporary_ = pattern.data();
  if (::fchmod(fd_, ModeFor(written)) != 0) Fail(errno);
}

ReplacementFile::~ReplacementFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void ReplacementFile::Fail(int error) const { throw IoErrorFromErrno(error, "write", target_); }

void ReplacementFile::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t written = 0;
  while (written < size) {
    const ssize_t put = calls_.write(fd_, bytes + written, size - written);
    if (put < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    if (put == 0) Fail(ENOSPC);
    written += static_cast<std::size_t>(put);
  }
}

void ReplacementFile::Commit() {
  const bool inPlace = temporary_.empty();
  if (!inPlace && calls_.fsync(fd_) != 0) Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  // Even a failed close has released the descriptor: never close it twice.
  if (calls_.close(fd) != 0) Fail(errno);
  if (inPlace) return;
  if (std::rename(temporary_.c_str(), ResolvedTarget(target_).c_str()) != 0) Fail(errno);
  temporary_.clear();
}

void ReplaceFileContents(const std::string& path, const void* data, std::size_t size, FileCalls calls) {
  ReplacementFile file(path, calls);
  file.Write(data, size);
  file.Commit();
}

}  // namespace fw
