#pragma once
// Library mode's input callback: every filled capture buffer runs the chain's
// WaveIn driver on the device's thread, plays the result through the output
// library, reports overloads to the window and hands the buffer back.
#include <cstdint>

#include "audio/wave_input.h"

namespace fw {

struct Engine;
struct ChainIo;

// Acts on MM_WIM_DATA while wave input runs: the header's buffer (its user word is
// the buffer's index) through the chain, the result to io.output, one overload
// message per overload to io.messages, the header back to io.waveIn.device. A
// header whose index lies outside the buffer area is given back unprocessed.
void ProcessWaveInBlock(Engine& engine, ChainIo& io, std::uintptr_t device, std::uint32_t message,
                        std::uintptr_t instance, WaveInHeader* header, std::uintptr_t param2) noexcept;

struct WaveInChain {
  Engine* engine = nullptr;
  ChainIo* io = nullptr;
};

// The callback to open wave input with; `chain` must outlive the open device.
WaveInCallback WaveInChainCallback(WaveInChain& chain) noexcept;

}  // namespace fw
