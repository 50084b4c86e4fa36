#include "engine/echo_delay.h"

#include <algorithm>

#include "engine/stage_state_word.h"

namespace fw {

void Echo::EchoDelayBlock(float* work, int n, int delay) noexcept {
  const std::int32_t spacing = std::clamp<std::int32_t>(delay, kMinSpacing, kMaxSpacing);
  const float gain = EchoGain.load();
  const bool sweepOn = EchoSweepOn.load() == 1;
  float tap[kTapCount];
  for (int k = 0; k < kTapCount; ++k) tap[k] = taps[k].load();

  const std::int32_t offsetAtStart = sweepOffset.load();
  const std::int32_t counterAtStart = sweepCounter.load();
  const std::int32_t directionAtStart = sweepDirection.load();
  std::int32_t offset = offsetAtStart;
  // Unsigned so that the counter wraps after 2^32 samples instead of overflowing.
  auto counter = static_cast<std::uint32_t>(counterAtStart);
  std::int32_t direction = directionAtStart;
  std::int32_t w = writePosition;

  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    line[w] = x;
    float acc = x;

    counter = counter + 1u;
    if ((counter & 127u) == 0u) offset = offset + direction;
    if (offset > kSweepTop) direction = -1;
    if (offset < 0) direction = 1;

    const std::int32_t shift = sweepOn ? offset : 0;
    for (int k = 0; k < kTapCount; ++k) {
      std::int32_t r = w - (k + 1) * spacing + shift;
      if (r < 0) r = r + kRingLength;
      acc = acc + line[r] * tap[k];
    }
    work[i] = gain * acc;

    w = w + 1;
    if (w >= kRingLength) w = 0;
  }

  writePosition = w;
  StoreUnlessRewritten(sweepOffset, offsetAtStart, offset);
  StoreUnlessRewritten(sweepCounter, counterAtStart, static_cast<std::int32_t>(counter));
  StoreUnlessRewritten(sweepDirection, directionAtStart, direction);
}

void Echo::SetTaps(float level, float decay) noexcept {
  EchoLevel.store(level);
  EchoDecay.store(decay);
  float tap[kTapCount];
  tap[0] = 1.0f;
  for (int k = 1; k < kTapCount; ++k) tap[k] = tap[k - 1] * decay;
  for (int k = 0; k < kTapCount; ++k) taps[k].store(tap[k] * level);
}

void Echo::ResetSweep() noexcept {
  sweepOffset.store(0);
  sweepCounter.store(0);
  sweepDirection.store(1);
  EchoSweepOn.store(0);
}

void SetEchoStartValues(Echo& echo) noexcept {
  echo.EchoDelay.store(3000);
  echo.EchoDecay.store(0.5f);
  echo.EchoGain.store(0.33f);
  echo.EchoLevel.store(0.0f);
}

}  // namespace fw
