#include "engine/low_boost.h"

#include "tone/distortions.h"

namespace fw {

void LowBoost::Process(float* work, int n, Distortions& shaper) noexcept {
  const float mix = LowBoostMix.load();
  // The waveshaper keeps no state, so it shapes the side buffer in place too.
  shaper.Waveshaper(side_, n);
  shaper.Waveshaper(work, n);
  for (int i = 0; i < n; ++i) work[i] = side_[i] * mix * 0.0005f + work[i];
}

}  // namespace fw
