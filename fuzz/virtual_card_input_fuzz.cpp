// The virtual sound card's input reader: any file is opened, limited to a sane rate
// and played for a few periods without reading more than the periods need.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "audio/virtual/virtual_sound_card.h"

namespace {

class SilentClient final : public fw::AudioDeviceClient {
 public:
  void Process(const float*, float* left, float* right, int frames) noexcept override {
    for (int i = 0; i < frames; ++i) left[i] = right[i] = 0.0f;
  }
};

std::string InputPath() {
  static const std::string path = [] {
    std::string pattern =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/fretwerk-card-XXXXXX" : "/tmp/fretwerk-card-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern + "/in";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = InputPath();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) std::abort();
  if (size > 0 && ::write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
  ::close(fd);
  fw::VirtualCardOptions options;
  options.inputFile = path;
  options.pacing = fw::VirtualCardOptions::Pacing::Manual;
  fw::VirtualSoundCard card(options);
  std::string error;
  if (!card.Load(error)) return 0;
  if (card.SampleRate() < fw::VirtualSoundCard::kMinRate ||
      card.SampleRate() > fw::VirtualSoundCard::kMaxRate)
    __builtin_trap();
  SilentClient client;
  if (!card.Start(client, 44100, error)) return 0;
  for (int i = 0; i < 16; ++i) card.Pump();
  card.Stop();
  return 0;
}
