#include "engine/engine.h"

namespace fw {
namespace {

// The tone-shaping stages' own initialisation at program start: the tube banks'
// start-up designs and both equalisers at 22050.
void InitialiseToneShaping(Engine& engine) {
  constexpr float kStartRate = 22050.0f;
  TubeStages& tube = engine.tube;
  tube.FoldBandCount.store(kFoldBands);
  tube.FoldThreshold.store(200.0f);
  // Not the tube design sequence: the start-up fold-back bank runs in cascade.
  tube.DesignVoiceBank(1.0f, 3.0f, kStartRate);
  tube.DesignFoldBank(1, 3.0f, 1.0f, 0.95f, kStartRate);
  engine.eq.DesignPreEqualiser(kStartRate);
  engine.eq.DesignPostEqualiser(kStartRate);
}

}  // namespace

std::unique_ptr<Engine> MakeEngine() {
  auto engine = std::make_unique<Engine>();
  InitialiseToneShaping(*engine);
  return engine;
}

}  // namespace fw
