#pragma once
// Five-tap echo delay: equally spaced echoes of the input read from a long line of
// past input (no feedback), each one weaker than the one before, and an output gain
// over dry signal and echoes. "Very Light Flanger" sweeps all five delays together.
#include <algorithm>
#include <cstdint>

#include "core/word.h"
#include "engine/stage_state_word.h"

namespace fw {

struct Echo {
  static constexpr int kRingLength = 134000;
  // The ring plus spare entries that are never written and read as 0 by a swept
  // tap that overshoots the end of the ring.
  static constexpr int kLineCapacity = 134501;
  static constexpr int kTapCount = 5;
  static constexpr std::int32_t kSweepTop = 600;  // the offset turns back once above this
  // Spacings the line can serve: every read, swept or not, stays inside the line.
  static constexpr std::int32_t kMinSpacing = 100;
  static constexpr std::int32_t kMaxSpacing = 26799;

  // Parameters: written by the window thread, read once per block.
  IntWord EchoDelay{3000};    // samples between two echoes
  FloatWord EchoDecay{0.0f};  // ratio between successive echoes
  FloatWord EchoLevel{0.0f};  // gain of the first echo
  FloatWord EchoGain{0.0f};   // output gain over dry signal and echoes
  IntWord EchoSweepOn{0};     // 1 = "Very Light Flanger"
  FloatWord taps[kTapCount] = {};

  // Sweep state: walked by the audio side, reset by the activation sequence.
  IntWord sweepOffset{0};
  IntWord sweepCounter{0};
  IntWord sweepDirection{1};

  // Audio side only.
  float line[kLineCapacity] = {};
  std::int32_t writePosition = 0;

  // The echo one sample at a time with the given echo spacing in samples, for loops
  // that run several stages per sample: words read when the run starts, the write
  // position and the sweep written back when it ends.
  class Run {
   public:
    Run(Echo& echo, int delay) noexcept;
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    float Step(float x) noexcept {
      float* line = echo_.line;
      line[w_] = x;
      float acc = x;

      counter_ = counter_ + 1u;
      if ((counter_ & 127u) == 0u) offset_ = offset_ + direction_;
      if (offset_ > kSweepTop) direction_ = -1;
      if (offset_ < 0) direction_ = 1;

      const std::int32_t shift = sweepOn_ ? offset_ : 0;
      for (int k = 0; k < kTapCount; ++k) {
        std::int32_t r = w_ - (k + 1) * spacing_ + shift;
        if (r < 0) r = r + kRingLength;
        acc = acc + line[r] * tap_[k];
      }
      w_ = w_ + 1;
      if (w_ >= kRingLength) w_ = 0;
      return gain_ * acc;
    }

   private:
    Echo& echo_;
    const std::int32_t spacing_;
    const float gain_;
    const bool sweepOn_;
    float tap_[kTapCount];
    const std::int32_t offsetAtStart_;
    const std::int32_t counterAtStart_;
    const std::int32_t directionAtStart_;
    std::int32_t offset_;
    // Unsigned so that the counter wraps after 2^32 samples instead of overflowing.
    std::uint32_t counter_;
    std::int32_t direction_;
    std::int32_t w_;
  };

  // Processes work[0..n) in place with the given echo spacing in samples.
  void EchoDelayBlock(float* work, int n, int delay) noexcept;
  // The chain's call: EchoDelayBlock with this stage's EchoDelay.
  void Process(float* work, int n) noexcept { EchoDelayBlock(work, n, EchoDelay.load()); }

  // The tap computation of the "Decay" and "Echo Gain" controls:
  // tap[k] = level × decay^k, built one multiplication at a time.
  void SetTaps(float level, float decay) noexcept;

  // The activation sequence's sweep reset: offset 0, counter 0, direction +1, sweep off.
  void ResetSweep() noexcept;
};

// The activation sequence's echo values before it moves the echo controls:
// EchoDelay 3000, EchoDecay 0.5, EchoGain 0.33, EchoLevel 0 (the caller turns the
// echo off). The taps stay as they are until a tap control moves.
void SetEchoStartValues(Echo& echo) noexcept;

inline Echo::Run::Run(Echo& echo, int delay) noexcept
    : echo_(echo),
      spacing_(std::clamp<std::int32_t>(delay, kMinSpacing, kMaxSpacing)),
      gain_(echo.EchoGain.load()),
      sweepOn_(echo.EchoSweepOn.load() == 1),
      offsetAtStart_(echo.sweepOffset.load()),
      counterAtStart_(echo.sweepCounter.load()),
      directionAtStart_(echo.sweepDirection.load()),
      offset_(offsetAtStart_),
      counter_(static_cast<std::uint32_t>(counterAtStart_)),
      direction_(directionAtStart_),
      w_(echo.writePosition) {
  for (int k = 0; k < kTapCount; ++k) tap_[k] = echo.taps[k].load();
}

inline Echo::Run::~Run() {
  echo_.writePosition = w_;
  StoreUnlessRewritten(echo_.sweepOffset, offsetAtStart_, offset_);
  StoreUnlessRewritten(echo_.sweepCounter, counterAtStart_, static_cast<std::int32_t>(counter_));
  StoreUnlessRewritten(echo_.sweepDirection, directionAtStart_, direction_);
}

}  // namespace fw
