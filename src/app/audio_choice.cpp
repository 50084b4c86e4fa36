#include "app/audio_choice.h"

#include <cstdlib>

namespace fw {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

bool ChooseAudio(const std::string& requested, const std::string& legacyCard, AudioChoice& choice,
                 std::string& error) {
  std::string backend = requested.empty() ? Environment("FRETWERK_AUDIO") : requested;
  choice = AudioChoice{};
  if (backend == "legacy") {
    choice.legacy = true;
    backend.clear();
  }
  if (!backend.empty() && backend != "jack" && backend != "alsa" && backend != "virtual") {
    error = "Unknown audio \"" + backend + "\" (jack, alsa, virtual or legacy).";
    return false;
  }
  choice.backend = backend;
  const std::string card = legacyCard.empty() ? Environment("FRETWERK_LEGACY_CARD") : legacyCard;
  if (card.empty() || card == "isa") {
    choice.card = LegacyCardKind::Isa;
  } else if (card == "pci") {
    choice.card = LegacyCardKind::Pci;
  } else if (card == "pci-common") {
    choice.card = LegacyCardKind::PciCommon;
  } else {
    error = "Unknown legacy card \"" + card + "\" (isa, pci or pci-common).";
    return false;
  }
  return true;
}

}  // namespace fw
