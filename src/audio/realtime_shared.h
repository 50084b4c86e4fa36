#pragma once
// The block exchanged with the realtime driver in ring-0 mode, its ready word,
// the realtime event and the realtime thread's run flag and state.
#include <atomic>
#include <cstdint>

#include "core/word.h"

namespace fw {

// The auto-reset event the realtime driver signals once per block.
class RealtimeEvent {
 public:
  virtual ~RealtimeEvent() = default;
  virtual void Wait() noexcept = 0;  // waits without time-out
  virtual void Signal() noexcept = 0;
};

struct RealtimeShared {
  static constexpr int kBlockSamples = 256;     // 128 stereo frames or 256 mono samples
  Word<std::int32_t> block[kBlockSamples / 2];  // 16-bit samples, two to a word, shared with the driver
  IntWord ready{0};
  // The realtime thread asleep on the ready word (card type 0), for the card's wake.
  std::atomic<std::int32_t> readySleepers{0};
  IntWord threadState{0};  // 1 running, -1 after the loop has ended
  IntWord runFlag{0};
  // 1 while the thread is suspended (Pause): it waits on this word between blocks.
  std::atomic<std::int32_t> suspended{0};
  RealtimeEvent* event = nullptr;

  std::int16_t Sample(int i) const noexcept {
    const auto w = static_cast<std::uint32_t>(block[i >> 1].load());
    return static_cast<std::int16_t>((i & 1) ? (w >> 16) : (w & 0xFFFFu));
  }
  void SetSample(int i, std::int16_t v) noexcept {
    auto w = static_cast<std::uint32_t>(block[i >> 1].load());
    const auto u = static_cast<std::uint32_t>(static_cast<std::uint16_t>(v));
    w = (i & 1) ? ((w & 0x0000FFFFu) | (u << 16)) : ((w & 0xFFFF0000u) | u);
    block[i >> 1].store(static_cast<std::int32_t>(w));
  }
  // The whole block, two samples to a word, low half first.
  void ReadBlock(std::int16_t* samples) const noexcept {
    for (int k = 0; k < kBlockSamples / 2; ++k) {
      const auto w = static_cast<std::uint32_t>(block[k].load());
      samples[2 * k] = static_cast<std::int16_t>(w & 0xFFFFu);
      samples[2 * k + 1] = static_cast<std::int16_t>(w >> 16);
    }
  }
  void WriteBlock(const std::int16_t* samples) noexcept {
    for (int k = 0; k < kBlockSamples / 2; ++k) {
      const auto low = static_cast<std::uint32_t>(static_cast<std::uint16_t>(samples[2 * k]));
      const auto high = static_cast<std::uint32_t>(static_cast<std::uint16_t>(samples[2 * k + 1]));
      block[k].store(static_cast<std::int32_t>(low | (high << 16)));
    }
  }
};

}  // namespace fw
