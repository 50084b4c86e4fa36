#include "audio/linux/device_factory.h"

#include <cstdlib>

#include "audio/linux/jack_device.h"
#include "audio/linux/portaudio_device.h"
#include "audio/linux/speex_rate_converter.h"

namespace fw {
namespace {

constexpr const char* kAdvice =
    "Start JACK or PipeWire, or play a sound file through the effects: fretwerk-cli run --audio virtual --in "
    "FILE --out FILE";

// What is missing for `backend`, in the system's own terms; empty when it can play.
std::string MissingDevice(const std::string& backend, PortAudioDevice* alsa, bool chosenForTheUser) {
  if (backend == "jack") return JackDevice::ServerRunning() ? "" : "no JACK server is running";
  if (alsa == nullptr || alsa->Available()) return {};
  const std::string jack = chosenForTheUser ? "no JACK server is running and " : "";
  return jack + "ALSA has no " + (alsa->HasCaptureDevice() ? "playback" : "capture") + " device";
}

}  // namespace

std::unique_ptr<LiveAudio> MakeLiveAudio(const LiveAudioChoice& choice, std::string& error) {
  std::string backend = choice.backend;
  if (backend.empty()) {
    const char* env = std::getenv("FRETWERK_AUDIO");
    // "legacy" names the simulated PC, which runs over the default device.
    if (env != nullptr && std::string(env) != "legacy") backend = env;
  }
  const bool chosenForTheUser = backend.empty();
  if (backend.empty()) backend = JackDevice::ServerRunning() ? "jack" : "alsa";

  std::unique_ptr<AudioDevice> device;
  PortAudioDevice* alsa = nullptr;
  if (backend == "jack") {
    JackOptions options;
    options.connectPorts = choice.connectJackPorts;
    device = std::make_unique<JackDevice>(options);
  } else if (backend == "alsa") {
    auto portAudio = std::make_unique<PortAudioDevice>();
    alsa = portAudio.get();
    device = std::move(portAudio);
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
  if (backend != "virtual") {
    if (std::string missing = MissingDevice(backend, alsa, chosenForTheUser); !missing.empty())
      live->NoteMissingDevice(std::move(missing), kAdvice);
  }
  return live;
}

}  // namespace fw
