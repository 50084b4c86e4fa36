#include "presets/preset_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "files/file_descriptor.h"
#include "files/file_errors.h"
#include "files/replacement_file.h"
#include "presets/preset_record.h"

namespace fw {
std::vector<std::uint8_t> ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) throw IoErrorFromErrno(errno, "read", path);
  std::vector<std::uint8_t> data(maxBytes);
  std::size_t filled = 0;
  while (filled < maxBytes) {
    const ssize_t got = ::read(file.get(), data.data() + filled, maxBytes - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw IoErrorFromErrno(errno, "read", path);
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  data.resize(filled);
  if (file.Close() != 0) throw IoErrorFromErrno(errno, "read", path);
  return data;
}

void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  ReplaceFileContents(path, data, size);
}

std::string NotAPresetReason(const std::string& path) {
  namespace fs = std::filesystem;
  if (fs::path(path).extension() != ".pre") return "its name does not end in .pre";
  std::error_code error;
  if (fs::is_directory(path, error)) return "it is a directory";
  if (!fs::exists(path, error)) return {};
  const auto size = fs::file_size(path, error);
  if (error) return {};  // not a regular file: reading it reports the reason
  if (size != static_cast<std::uintmax_t>(kPresetRecordSize)) {
    return "it holds " + std::to_string(size) + " bytes, not the " + std::to_string(kPresetRecordSize) +
           " of a preset record";
  }
  return {};
}

}  // namespace fw
