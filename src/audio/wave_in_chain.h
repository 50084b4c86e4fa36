#pragma once
// Library mode's input callback: every filled capture buffer runs the wave-in chain
// driver on the device's thread, with the engine and the device side it works on.
#include "audio/wave_input.h"

namespace fw {

struct Engine;
struct ChainIo;

struct WaveInChain {
  Engine* engine = nullptr;
  ChainIo* io = nullptr;
};

// The callback to open wave input with; `chain` must outlive the open device.
WaveInCallback WaveInChainCallback(WaveInChain& chain) noexcept;

}  // namespace fw
