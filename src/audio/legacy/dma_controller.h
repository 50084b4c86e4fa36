#pragma once
// The PC/AT DMA controller as the simulated card uses it: channels 0 to 3 count
// bytes, 5 to 7 count 16-bit words. A channel runs over a ring of 16-bit samples in
// auto-initialise mode; its current-address and page registers read at the ports
// of the real controller.
#include <atomic>
#include <cstdint>

#include "audio/legacy/driver_codes.h"

namespace fw {

class DmaController {
 public:
  static constexpr int kChannels = legacy::kDmaChannels;

  // Window thread: points the channel at a ring of `samples` 16-bit samples at a
  // physical address, stopped.
  void Program(int channel, std::uint32_t physicalAddress, std::uint32_t samples) noexcept;
  void Run(int channel, bool running) noexcept;
  // Back to the ring's start (the driver's reset).
  void Rewind(int channel) noexcept;
  bool Running(int channel) const noexcept;

  // The card's thread: the physical address of the sample the channel moves now,
  // then the register counts on (wrapping to the ring's start).
  std::uint32_t Transfer(int channel) noexcept;
  // The card's thread: the next sample the channel moves.
  std::uint32_t Index(int channel) const noexcept {
    return channels_[channel].index.load(std::memory_order_relaxed);
  }
  // The next sample as the registers show it.
  std::uint32_t Position(int channel) const noexcept;

  // A read of an I/O port: the 16-bit current address, or the page in bits 8 to 15.
  std::uint32_t ReadPort(int port) const noexcept;

  // The card moves a whole device period at once; a real DMA moves sample by
  // sample. With smoothing on, the registers show the period's samples spread over
  // the period's duration, from the moment the card's thread starts it.
  void SetSmoothing(bool on) noexcept { smoothing_.store(on); }
  void BeginPeriod(std::int64_t nowNs, std::uint32_t samples, int rate) noexcept;

 private:
  struct Channel {
    std::atomic<std::uint32_t> base{0};     // physical address of the ring
    std::atomic<std::uint32_t> samples{0};  // ring length
    std::atomic<std::uint32_t> index{0};    // next sample
    std::atomic<bool> running{false};
    std::atomic<std::uint32_t> indexAtPeriod{0};
  };
  std::uint32_t VisibleIndex(const Channel& c) const noexcept;
  static bool Words(int channel) noexcept { return legacy::DmaCountsWords(channel); }
  static bool Valid(int channel) noexcept { return legacy::DmaChannelUsable(channel); }
  Channel channels_[kChannels];
  std::atomic<bool> smoothing_{false};
  std::atomic<std::int64_t> periodStartNs_{0};
  std::atomic<std::uint32_t> periodSamples_{0};
  std::atomic<int> rate_{22050};
};

}  // namespace fw
