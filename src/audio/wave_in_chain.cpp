#include "audio/wave_in_chain.h"

#include <algorithm>

#include "audio/chain_io.h"
#include "core/message_port.h"
#include "engine/chain.h"

namespace fw {
namespace {

void RunWaveInChain(void* context, std::uintptr_t device, std::uint32_t message, std::uintptr_t instance,
                    WaveInHeader* header, std::uintptr_t param2) noexcept {
  auto* chain = static_cast<WaveInChain*>(context);
  ProcessWaveInBlock(*chain->engine, *chain->io, device, message, instance, header, param2);
}

}  // namespace

void ProcessWaveInBlock(Engine& e, ChainIo& io, std::uintptr_t device, std::uint32_t message,
                        std::uintptr_t instance, WaveInHeader* header, std::uintptr_t param2) noexcept {
  (void)device, (void)instance, (void)param2;
  if (io.waveIn.running.load() == 0 || message != MM_WIM_DATA || header == nullptr) return;

  const int n = std::clamp<std::int32_t>(e.params.WaveInBlockLength.load(), 0, kMaxChainBlock);
  constexpr std::int64_t kAreaSamples = WaveInBufferArea::kBufferCount * WaveInBufferArea::kBufferLength;
  const std::uintptr_t b = header->user;
  const bool blockInArea =
      b <= static_cast<std::uintptr_t>(kAreaSamples) && static_cast<std::int64_t>(b) * n + n <= kAreaSamples;
  if (blockInArea) {
    std::int16_t* out = e.buffers.waveOut;
    const ChainResult result =
        Chain(e).Process(Driver::WaveIn, io.waveIn.area.samples + static_cast<std::int64_t>(b) * n, out, n);
    if (io.messages != nullptr) {
      for (int k = 0; k < result.overloads; ++k) io.messages->PostMessage(kOverloadMessage);
    }
    if (io.output != nullptr) io.output->out_to_dsound(out);
  }
  if (io.waveIn.device != nullptr) io.waveIn.device->AddBuffer(header, kWaveHeaderSize);
}

WaveInCallback WaveInChainCallback(WaveInChain& chain) noexcept { return {&RunWaveInChain, &chain}; }

}  // namespace fw
