#pragma once
// The three chain drivers: one 16-bit block in, the stages in the driver's own
// order on the work buffer, one 16-bit block out.
#include <cstdint>

#include "engine/chain_io.h"
#include "engine/engine.h"

namespace fw {

// Wave-input callback of library mode: acts on MM_WIM_DATA while wave input runs.
void ProcessWaveInBlock(Engine& engine, ChainIo& io, std::uintptr_t device, std::uint32_t message,
                        std::uintptr_t instance, WaveInHeader* header, std::uintptr_t param2) noexcept;

// Block processor of the DMA-direct and common-buffer modes: works on block in place.
void ProcessDirectBlock(Engine& engine, std::int32_t count, std::int16_t* block) noexcept;

// One pass of the realtime thread's loop body after its wait: input from the
// shared block, stages, output into the shared block, ready word cleared.
void RealtimeProcessSharedBlock(Engine& engine, RealtimeShared& shared) noexcept;

// The realtime thread's body: waits per CardType and processes blocks while the
// run flag is 1; thread state 1 while running, -1 after. Returns 0.
std::uint32_t RealtimeThreadLoop(Engine& engine, RealtimeShared& shared, void* ignored) noexcept;

}  // namespace fw
