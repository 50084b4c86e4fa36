#include "tone/tone_unit.h"

#include "engine/engine.h"

namespace fw {

void InitialiseToneShapingUnit(Engine& engine) {
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

}  // namespace fw
