#include "files/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

#include "files/file_errors.h"

namespace fw {
namespace {

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The kernel's rule for links in shared directories (/tmp): a link in a sticky
// directory that others may write is followed only when it belongs to the user or to
// the directory's owner; anyone else's link there may aim at the user's files.
bool PlantedInSharedDirectory(const std::string& link, const struct stat& linkStatus) {
  struct stat directory {};
  if (::stat(DirectoryOf(link).c_str(), &directory) != 0) return false;
  const bool shared = (directory.st_mode & S_ISVTX) != 0 && (directory.st_mode & S_IWOTH) != 0;
  return shared && linkStatus.st_uid != ::geteuid() && linkStatus.st_uid != directory.st_uid;
}

// Follows the links at the end of `target`, once, to the file the replacement is
// renamed over (so the links stay). The directories on the way are the kernel's to
// check when the file is created and renamed.
std::string FinalTarget(const std::string& target, const std::string& shown) {
  std::string path = target;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    if (PlantedInSharedDirectory(path, status)) {
      throw IoError(IoError::AccessDenied().Code(), IoError::AccessDenied().what(),
                    "cannot write " + shown + ": " + path +
                        " is a link someone else put in a shared directory; not following it");
    }
    std::vector<char> buffer(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 4096) + 1);
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0) throw IoErrorFromErrno(errno, "write", shown);
    const std::string aim(buffer.data(), static_cast<std::size_t>(length));
    path = !aim.empty() && aim[0] == '/' ? aim : DirectoryOf(path) + "/" + aim;
  }
  throw IoErrorFromErrno(ELOOP, "write", shown);
}

// A device or a pipe (/dev/null, /dev/stdout) is written in place: renaming over it
// would replace the device node.
bool IsSpecialFile(const std::string& target) {
  struct stat status {};
  return ::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

// The file-creation mask, read without changing it (umask() would, for every thread).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0)
      return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8) & 0777);
  }
  return 022;
}

// A new file gets what the user's umask allows; a replaced one keeps its permissions,
// but never the set-id bits, which belong to the old contents.
mode_t ModeFor(const std::string& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0) return status.st_mode & 0777;
  return 0666 & ~CurrentUmask();
}

// The rename reaches the disk with the directory that holds it; 0 or the error.
int SyncDirectory(const std::string& file) {
  const int fd = ::open(DirectoryOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;  // a directory we may not read: the kernel syncs it in time
  const int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  // Some file systems cannot sync a directory; the data itself is on disk already.
  return error == EINVAL || error == EROFS ? 0 : error;
}

}  // namespace

FileCalls FileCalls::System() { return FileCalls{::write, ::fsync, ::close}; }

ReplacementFile::ReplacementFile(const std::string& target, FileCalls calls)
    : target_(target), calls_(calls) {
  if (target.empty()) Fail(ENOENT);
  written_ = FinalTarget(target, target);
  if (IsSpecialFile(written_)) {
    fd_ = ::open(written_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) Fail(errno);
    return;
  }
  std::vector<char> pattern(written_.begin(), written_.end());
  const std::string suffix = ".tmp-XXXXXX";
  pattern.insert(pattern.end(), suffix.begin(), suffix.end());
  pattern.push_back('\0');
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) Fail(errno);
  temporary_ = pattern.data();
  if (::fchmod(fd_, ModeFor(written_)) != 0) Fail(errno);
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
  if (std::rename(temporary_.c_str(), written_.c_str()) != 0) Fail(errno);
  temporary_.clear();
  if (const int error = SyncDirectory(written_); error != 0) Fail(error);
}

void ReplaceFileContents(const std::string& path, const void* data, std::size_t size, FileCalls calls) {
  ReplacementFile file(path, calls);
  file.Write(data, size);
  file.Commit();
}

}  // namespace fw
