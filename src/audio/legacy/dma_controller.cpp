#include "audio/legacy/dma_controller.h"

#include <algorithm>
#include <chrono>

namespace fw {

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

void DmaController::Rewind(int channel) noexcept {
  if (!Valid(channel)) return;
  channels_[channel].index.store(0);
  channels_[channel].indexAtPeriod.store(0);
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
  return Valid(channel) ? VisibleIndex(channels_[channel]) : 0;
}

void DmaController::BeginPeriod(std::int64_t nowNs, std::uint32_t samples, int rate) noexcept {
  for (Channel& c : channels_)
    c.indexAtPeriod.store(c.index.load(std::memory_order_relaxed), std::memory_order_relaxed);
  periodSamples_.store(samples, std::memory_order_relaxed);
  rate_.store(rate, std::memory_order_relaxed);
  periodStartNs_.store(nowNs, std::memory_order_release);
}

std::uint32_t DmaController::VisibleIndex(const Channel& c) const noexcept {
  const std::uint32_t index = c.index.load(std::memory_order_relaxed);
  if (!smoothing_.load(std::memory_order_relaxed)) return index;
  const std::uint32_t n = c.samples.load(std::memory_order_relaxed);
  if (n == 0) return index;
  const std::int64_t start = periodStartNs_.load(std::memory_order_acquire);
  const std::uint32_t from = c.indexAtPeriod.load(std::memory_order_relaxed);
  const std::uint32_t moved = (index + n - from) % n;
  const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count();
  const double elapsed = static_cast<double>(std::max<std::int64_t>(now - start, 0)) * 1e-9;
  const auto shown = static_cast<std::uint32_t>(
      std::min<double>(moved, elapsed * static_cast<double>(rate_.load(std::memory_order_relaxed))));
  return (from + shown) % n;
}

std::uint32_t DmaController::ReadPort(int port) const noexcept {
  for (int ch = 0; ch < kChannels; ++ch) {
    if (!Valid(ch)) continue;
    const Channel& c = channels_[ch];
    const std::uint32_t base = c.base.load(std::memory_order_relaxed);
    if (port == legacy::DmaAddressPort(ch)) {
      const std::uint32_t i = VisibleIndex(c);
      // A byte channel advances two counts per 16-bit sample, a word channel one.
      const std::uint32_t start = Words(ch) ? (base >> 1) & 0xFFFFu : base & 0xFFFFu;
      return (start + (Words(ch) ? i : 2 * i)) & 0xFFFFu;
    }
    if (port == legacy::DmaPagePort(ch)) {
      const std::uint32_t page = (base >> 16) & (Words(ch) ? 0xFEu : 0xFFu);
      return page << 8;
    }
  }
  return 0xFFFFu;  // an unused port floats high
}

}  // namespace fw
