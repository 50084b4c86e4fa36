#pragma once
// The window's live audio from the environment: FRETWERK_AUDIO chooses jack, alsa or
// virtual (default: JACK when a server runs, else ALSA); the virtual sound card plays
// FRETWERK_VIRTUAL_IN (looped; silence without it) into FRETWERK_VIRTUAL_OUT.
#include <memory>
#include <string>

#include "audio/linux/device_factory.h"

namespace fw::qt {

LiveAudioChoice LiveAudioChoiceFromEnvironment();

}  // namespace fw::qt
