#include "app/session.h"

#include "app/startup/main_unit.h"

namespace fw {

bool SessionAudio::Open(const AudioChoice& choice, LiveAudioChoice device, const std::string& dataDirectory,
                        std::string& error) {
  if (device.backend.empty()) device.backend = choice.backend;
  live = MakeLiveAudio(device, error);
  if (live == nullptr) return false;
  if (!choice.legacy) return true;
  LegacyPcOptions options;
  options.card = LayoutFor(choice.card);
  options.dataDirectory = dataDirectory;
  legacy = std::make_unique<LegacyPc>(options, *live);
  if (legacy->Ready(error)) return true;
  legacy.reset();
  return false;
}

Platform SessionPlatform(const SessionServices& services, LiveAudio* live, LegacyPc* legacy) {
  Platform platform;
  platform.dialogs = services.dialogs;
  platform.system = services.system;
  platform.shell = services.shell;
  if (live != nullptr) {
    platform.output = &live->Output();
    platform.waveIn = &live->Input();
    platform.delay = live;
  }
  if (legacy != nullptr) {
    platform.waveIn = &legacy->Card().WaveIn();
    platform.waveOut = &legacy->Card().WaveOut();
    platform.timer = &legacy->Timer();
    platform.kernel = legacy;
  }
  return platform;
}

Platform SessionPlatform(const SessionServices& services, const SessionAudio& audio) {
  return SessionPlatform(services, audio.live.get(), audio.legacy.get());
}

TForm1& Session::BuildForm(const Platform& platform, bool mainUnit) {
  form = std::make_unique<TForm1>(*engine, loop, platform);
  if (mainUnit) InitialiseMainUnit(*engine, form->io);
  return *form;
}

}  // namespace fw
