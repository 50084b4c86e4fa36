#pragma once
// One session of the window's logic, wired the same way by the window, fretwerk-cli run
// and latency, and the tests: the audio chosen (a live device, and the legacy PC over
// it when asked for), a platform that hands the device's output, input and delay to
// the form, and the engine, the window-thread loop and the form over that platform.
#include <memory>
#include <string>

#include "app/audio_choice.h"
#include "app/form1.h"
#include "app/platform.h"
#include "audio/legacy/legacy_pc.h"
#include "audio/linux/device_factory.h"
#include "engine/engine.h"
#include "ui/clock.h"
#include "ui/window_loop.h"

namespace fw {

// The live device and, for the legacy modes, the simulated PC whose analogue side it is.
struct SessionAudio {
  std::unique_ptr<LiveAudio> live;
  std::unique_ptr<LegacyPc> legacy;

  // Opens `device`, on the backend of `choice` unless `device` names one, and for a
  // legacy choice the PC over it, its sandbox under `dataDirectory`. False with the
  // reason; what did open stays open.
  bool Open(const AudioChoice& choice, LiveAudioChoice device, const std::string& dataDirectory,
            std::string& error);
};

// What a front end brings besides the audio.
struct SessionServices {
  ui::Dialogs* dialogs = nullptr;
  SystemServices* system = nullptr;
  Shell* shell = nullptr;
};

// The form's platform: the services, the live device's output, input and delay (the
// REALTIME page shows it), and the legacy PC's drivers; either may be missing.
Platform SessionPlatform(const SessionServices& services, LiveAudio* live, LegacyPc* legacy = nullptr);
Platform SessionPlatform(const SessionServices& services, const SessionAudio& audio);

// The engine and the window-thread loop on `clock`; the form once built.
struct Session {
  // A session owning its clock derives from Clocked<...> first, then Session.
  template <class Clock>
  struct Clocked {
    Clock clock;
  };

  explicit Session(ui::Clock& clock) : loop(clock) {}

  // The form over `platform`. With `mainUnit`, the engine's start values are set as the
  // program sets them before its window exists; tests of one page may leave them.
  TForm1& BuildForm(const Platform& platform, bool mainUnit = true);

  std::unique_ptr<Engine> engine = MakeEngine();
  ui::WindowLoop loop;
  std::unique_ptr<TForm1> form;
};

}  // namespace fw
