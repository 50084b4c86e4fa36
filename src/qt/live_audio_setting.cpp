#include "qt/live_audio_setting.h"

#include <cstdlib>

namespace fw::qt {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

LiveAudioChoice LiveAudioChoiceFromEnvironment(const std::string& backend) {
  LiveAudioChoice choice;
  choice.backend = backend;
  choice.virtualCard.inputFile = Variable("FRETWERK_VIRTUAL_IN");
  choice.virtualCard.outputFile = Variable("FRETWERK_VIRTUAL_OUT");
  if (choice.virtualCard.inputFile.empty()) choice.virtualCard.inputSamples.assign(4410, 0.0f);
  choice.virtualCard.loop = true;
  choice.virtualCard.pacing = VirtualCardOptions::Pacing::RealTime;
  return choice;
}

}  // namespace fw::qt
