#include "audio/linux/device_factory.h"

#include <cstdlib>

#include "audio/linux/jack_device.h"
#include "audio/linux/portaudio_device.h"
#include "audio/linux/speex_rate_converter.h"

namespace fw {

std::unique_ptr<LiveAudio> MakeLiveAudio(const LiveAudioChoice& choice, std::string& error) {
  std::string backend = choice.backend;
  if (backend.empty()) {
    const char* env = std::getenv("FRETWERK_AUDIO");
    if (env != nullptr) backend = env;
  }
  const bool chosenForTheUser = backend.empty();
  if (backend.empty()) backend = JackDevice::ServerRunning() ? "jack" : "alsa";

  std::unique_ptr<AudioDevice> device;
  if (backend == "jack") {
    JackOptions options;
    options.connectPorts = choice.connectJackPorts;
    device = std::make_unique<JackDevice>(options);
  } else if (backend == "alsa") {
    device = std::make_unique<PortAudioDevice>();
  } else if (backend == "virtual") {
    auto card = std::make_unique<VirtualSoundCard>(choice.virtualCard);
    if (!card->Load(error)) return nullptr;
    device = std::move(card);
  } else {
    error = "Unknown audio backend \"" + backend + "\" (jack, alsa or virtual).";
    return nullptr;
  }
  auto live = std::make_unique<LiveAudio>(std::move(device), &MakeSpeexRateConverter);
  if (chosenForTheUser && backend == "alsa") live->AddTriedBackend("JACK: no server running");
  return live;
}

}  // namespace fw
