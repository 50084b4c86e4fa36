#include "tone/tone_unit.h"

#include "engine/engine.h"

namespace fw {

void InitialiseToneShapingUnit(Engine& engine) { (void)engine; }

}  // namespace fw
