#pragma once
// A file written beside its target and renamed over it only once every byte is
// on disk: a failed write, sync or close leaves the old file as it was and throws
// IoError naming the target and the reason. A device or pipe (/dev/null) is
// written in place instead. A new file gets the permissions the umask allows, a
// replaced one keeps its own (without set-id bits); the directory is synced after
// the rename. A link someone else planted in a shared sticky directory (/tmp) is
// refused, as the kernel refuses to follow it.
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace fw {

// The system calls a replacement makes; tests inject failures (a full disk).
struct FileCalls {
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  int (*fsync)(int fd);
  int (*close)(int fd);
  static FileCalls System();
};

class ReplacementFile {
 public:
  // Creates the temporary file in the target's directory (beside the file a
  // symbolic link points to, so the link stays; the link is read once).
  explicit ReplacementFile(const std::string& target, FileCalls calls = FileCalls::System());
  // An uncommitted replacement removes its temporary file; the target is untouched.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // For libraries that write themselves; Commit still syncs and closes it.
  int Descriptor() const { return fd_; }
  const std::string& Target() const { return target_; }

  void Write(const void* data, std::size_t size);
  // Syncs, closes (both checked) and renames the temporary file over the target.
  void Commit();
  // Throws the error for this target ("cannot write <target>: <reason>").
  [[noreturn]] void Fail(int error) const;

 private:
  std::string target_;
  std::string written_;  // the target, or the file its links lead to
  std::string temporary_;
  int fd_ = -1;
  FileCalls calls_;
};

// Replaces the whole file with the bytes.
void ReplaceFileContents(const std::string& path, const void* data, std::size_t size,
                         FileCalls calls = FileCalls::System());

}  // namespace fw
