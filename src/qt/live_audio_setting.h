#pragma once
// The window's live audio from the environment: FRETWERK_AUDIO chooses jack, alsa,
// virtual or legacy (default: JACK when a server runs, else ALSA); the virtual sound card plays
// FRETWERK_VIRTUAL_IN (looped; silence without it) into FRETWERK_VIRTUAL_OUT.
#include <memory>
#include <string>

#include "audio/linux/device_factory.h"

namespace fw::qt {

// `backend` is the live device chosen for the program (for legacy, its analogue side).
LiveAudioChoice LiveAudioChoiceFromEnvironment(const std::string& backend);

}  // namespace fw::qt
