#include "engine/echo_delay.h"

namespace fw {

void Echo::EchoDelayBlock(float* work, int n, int delay) noexcept {
  Run run(*this, delay);
  for (int i = 0; i < n; ++i) work[i] = run.Step(work[i]);
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
