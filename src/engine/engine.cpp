#include "engine/engine.h"

#include "tone/tone_unit.h"

namespace fw {

std::unique_ptr<Engine> MakeEngine() {
  auto engine = std::make_unique<Engine>();
  // The tone-shaping unit's own initialisation at program start.
  InitialiseToneShapingUnit(*engine);
  return engine;
}

}  // namespace fw
