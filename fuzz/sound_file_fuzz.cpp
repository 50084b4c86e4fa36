// Sound-file input through our reader: the first byte picks the file name (and so
// the reader: .raw, .au, .wav, .flac, no extension), the rest is the file.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/sound_file.h"

namespace {

std::string Directory() {
  static const std::string dir = [] {
    // Memory-backed when it can be: the target writes a file per input.
    std::string pattern =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/fretwerk-fuzz-XXXXXX" : "/tmp/fretwerk-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const kNames[] = {"in.raw", "in.au", "in.wav", "in.flac", "in"};
  const std::string path = Directory() + "/" + kNames[data[0] % 5];
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) std::abort();
  if (size > 1 && ::write(fd, data + 1, size - 1) != static_cast<ssize_t>(size - 1)) std::abort();
  ::close(fd);
  try {
    // A small limit keeps a long input from being slow; the limit check is part of the test.
    const fw::MonoSound sound = fw::ReadMonoSound(path, 1 << 20);
    if (sound.samples.size() > (1u << 19)) __builtin_trap();
  } catch (const fw::SoundFileError&) {
  }
  return 0;
}
