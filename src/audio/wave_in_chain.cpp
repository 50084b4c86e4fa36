#include "audio/wave_in_chain.h"

#include "engine/chain.h"

namespace fw {
namespace {

void RunWaveInChain(void* context, std::uintptr_t device, std::uint32_t message, std::uintptr_t instance,
                    WaveInHeader* header, std::uintptr_t param2) noexcept {
  auto* chain = static_cast<WaveInChain*>(context);
  ProcessWaveInBlock(*chain->engine, *chain->io, device, message, instance, header, param2);
}

}  // namespace

WaveInCallback WaveInChainCallback(WaveInChain& chain) noexcept { return {&RunWaveInChain, &chain}; }

}  // namespace fw
