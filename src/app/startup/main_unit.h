#pragma once
// The main unit's initialisation: the engine's starting values, set once before the
// window exists, in the order the program has always set them.
namespace fw {

struct ChainIo;
struct Engine;

void InitialiseMainUnit(Engine& engine, ChainIo& io);

}  // namespace fw
