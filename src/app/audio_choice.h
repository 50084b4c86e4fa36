#pragma once
// The audio the program runs on, chosen once for fretwerk-cli run and the window:
// a live device ("jack", "alsa", "virtual"), or "legacy", the simulated legacy PC
// whose analogue side is that live device. FRETWERK_AUDIO gives the choice when
// the command line does not.
#include <memory>
#include <string>

#include "audio/legacy/legacy_pc.h"

namespace fw {

struct Platform;

struct AudioChoice {
  std::string backend;  // of the live device: "", "jack", "alsa" or "virtual"
  bool legacy = false;
  LegacyCardKind card = LegacyCardKind::Isa;
};

// `requested` is --audio ("" when not given), `legacyCard` --legacy-card ("" when
// not given); FRETWERK_AUDIO and FRETWERK_LEGACY_CARD stand in for them. False with
// a message for an unknown name.
bool ChooseAudio(const std::string& requested, const std::string& legacyCard, AudioChoice& choice,
                 std::string& error);

// Builds the legacy PC over the live device; its sandbox goes under `dataDirectory`.
std::unique_ptr<LegacyPc> MakeLegacyPc(LiveAudio& analogue, LegacyCardKind card,
                                       const std::string& dataDirectory, std::string& error);

// Hands the legacy PC's devices to the window's platform (the realtime control
// shares its block with the realtime drivers).
void WireLegacyPc(LegacyPc& pc, Platform& platform);

}  // namespace fw
