#pragma once
// The tuner's copy of the input: while the tuner is on, the audio side writes each
// block's input samples into a ring and publishes how many it wrote; the tuner reads
// them off the audio thread. One writer, one reader; writing neither allocates,
// locks nor waits, and a reader that falls a whole ring behind skips ahead.
#include <array>
#include <atomic>
#include <cstdint>

#include "core/word.h"

namespace fw {

class TunerTap {
 public:
  static constexpr std::uint32_t kCapacity = 1u << 15;  // about 0.7 s at 44.1 kHz

  // Window thread: the tuner listens; while it does and `MutesOutput` is 1, the
  // chain hands back silence.
  IntWord On{0};
  IntWord MutesOutput{1};

  // Audio side.
  void Write(const float* samples, int n) noexcept {
    std::uint32_t head = head_.load(std::memory_order_relaxed);
    for (int i = 0; i < n; ++i, ++head)
      samples_[head % kCapacity].store(samples[i], std::memory_order_relaxed);
    // Release: a reader that sees the new head sees the samples before it.
    head_.store(head, std::memory_order_release);
  }

  // Reader: samples written so far (wraps at 2^32).
  std::uint32_t Head() const noexcept { return head_.load(std::memory_order_acquire); }
  float At(std::uint32_t index) const noexcept {
    return samples_[index % kCapacity].load(std::memory_order_relaxed);
  }

 private:
  std::array<std::atomic<float>, kCapacity> samples_{};
  std::atomic<std::uint32_t> head_{0};
};

}  // namespace fw
