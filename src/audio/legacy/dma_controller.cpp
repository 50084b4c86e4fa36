#include "audio/legacy/dma_controller.h"

namespace fw {

int DmaController::AddressPort(int channel) noexcept {
  if (!Valid(channel)) return -1;
  return channel < 4 ? 2 * channel : 176 + 4 * channel;
}

int DmaController::PagePort(int channel) noexcept {
  static constexpr int kPages[kChannels] = {135, 131, 129, 130, -1, 139, 137, 138};
  return Valid(channel) ? kPages[channel] : -1;
}

void DmaController::Program(int channel, std::uint32_t physicalAddress, std::uint32_t samples) noexcept {
  if (!Valid(channel)) return;
  Channel& c = channels_[channel];
  c.running.store(false);
  c.base.store(physicalAddress);
  c.samples.store(samples);
  c.index.store(0);
}

void DmaController::Run(int channel, bool running) noexcept {
  if (Valid(channel)) channels_[channel].running.store(running);
}

bool DmaController::Running(int channel) const noexcept {
  return Valid(channel) && channels_[channel].running.load();
}

std::uint32_t DmaController::Transfer(int channel) noexcept {
  Channel& c = channels_[channel];
  const std::uint32_t i = c.index.load(std::memory_order_relaxed);
  const std::uint32_t n = c.samples.load(std::memory_order_relaxed);
  c.index.store(i + 1 >= n ? 0 : i + 1, std::memory_order_relaxed);
  return c.base.load(std::memory_order_relaxed) + 2 * i;
}

std::uint32_t DmaController::Position(int channel) const noexcept {
  return Valid(channel) ? channels_[channel].index.load(std::memory_order_relaxed) : 0;
}

std::uint32_t DmaController::ReadPort(int port) const noexcept {
  for (int ch = 0; ch < kChannels; ++ch) {
    if (!Valid(ch)) continue;
    const Channel& c = channels_[ch];
    const std::uint32_t base = c.base.load(std::memory_order_relaxed);
    if (port == AddressPort(ch)) {
      const std::uint32_t i = c.index.load(std::memory_order_relaxed);
      // Byte channels step 2 per 16-bit sample, word channels 1.
      const std::uint32_t start = Words(ch) ? (base >> 1) & 0xFFFFu : base & 0xFFFFu;
      return (start + (Words(ch) ? i : 2 * i)) & 0xFFFFu;
    }
    if (port == PagePort(ch)) {
      const std::uint32_t page = (base >> 16) & (Words(ch) ? 0xFEu : 0xFFu);
      return page << 8;
    }
  }
  return 0xFFFFu;  // an unused port floats high
}

}  // namespace fw
