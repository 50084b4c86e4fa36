#include "engine/low_boost.h"

#include <algorithm>

#include "tone/distortions.h"

namespace fw {

void LowBoost::Process(float* work, int n, Distortions& shaper) noexcept {
  const float mix = LowBoostMix.load();
  // The waveshaper works in place on the work buffer only, so the side signal
  // passes through it there while the block waits in the save buffer.
  std::copy(work, work + n, save_);
  std::copy(side_, side_ + n, work);
  shaper.Waveshaper(work, n);
  std::copy(work, work + n, side_);
  std::copy(save_, save_ + n, work);
  shaper.Waveshaper(work, n);
  for (int i = 0; i < n; ++i) work[i] = side_[i] * mix * 0.0005f + work[i];
}

}  // namespace fw
