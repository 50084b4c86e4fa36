#pragma once
// The tone-shaping unit's initialisation at program start: the tube banks'
// start-up designs and both equalisers at 22050.
namespace fw {

struct Engine;
void InitialiseToneShapingUnit(Engine& engine);

}  // namespace fw
