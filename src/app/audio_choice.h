#pragma once
// The audio the program runs on, chosen once for fretwerk-cli run and the window:
// a live device ("jack", "alsa", "virtual"), or "legacy", the simulated legacy PC
// whose analogue side is that live device. FRETWERK_AUDIO gives the choice when
// the command line does not.
#include <string>

#include "audio/legacy/legacy_pc.h"

namespace fw {

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

}  // namespace fw
