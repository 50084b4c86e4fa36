#pragma once
// Picks the live device: "jack", "alsa" or "virtual" from the command line or the
// FRETWERK_AUDIO variable; by default JACK when a server runs, else ALSA.
#include <memory>
#include <string>

#include "audio/live_audio.h"
#include "audio/virtual/virtual_sound_card.h"

namespace fw {

struct LiveAudioChoice {
  std::string backend;             // "", "jack", "alsa" or "virtual"
  VirtualCardOptions virtualCard;  // used by the virtual card
  bool connectJackPorts = true;
};

// nullptr with a message when the chosen device does not exist.
std::unique_ptr<LiveAudio> MakeLiveAudio(const LiveAudioChoice& choice, std::string& error);

}  // namespace fw
