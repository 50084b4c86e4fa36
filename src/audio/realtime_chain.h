#pragma once
// Ring-0 mode's side of the chain: the realtime thread's body, which waits for the
// realtime driver's block and runs the chain's Realtime driver on the shared block.
#include <cstdint>

namespace fw {

struct Engine;
struct RealtimeShared;

// One pass of the loop body after its wait: the shared block through the chain,
// the result back into the shared block, the ready word cleared.
void RealtimeProcessSharedBlock(Engine& engine, RealtimeShared& shared) noexcept;

// The realtime thread's body: waits per CardType (0 spins on the ready word, 1
// waits on the realtime event, any other runs at once) and processes blocks while
// the run flag is 1; thread state 1 while running, -1 after. Returns 0.
std::uint32_t RealtimeThreadLoop(Engine& engine, RealtimeShared& shared, void* ignored) noexcept;

}  // namespace fw
