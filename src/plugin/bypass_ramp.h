#pragma once
// The crossfade between the input and the processed sound when the host bypasses the
// plugin: a linear ramp, so the output never steps. Audio thread only.
#include <algorithm>

namespace fw::plugin {

class BypassRamp {
 public:
  void SetLength(float samples) noexcept { step_ = 1.0f / std::max(samples, 1.0f); }
  // Jumps to the end of the ramp (a fresh activation has nothing to fade from).
  void Settle(bool enabled) noexcept { wet_ = enabled ? 1.0f : 0.0f; }

  // left and right hold the processed sound and receive the mix with dry. At either
  // end of the ramp they are exactly the processed sound or the input.
  void Mix(const float* dry, float* left, float* right, int n, bool enabled) noexcept {
    const float target = enabled ? 1.0f : 0.0f;
    for (int i = 0; i < n; ++i) {
      if (wet_ == target) {
        if (!enabled) {
          std::copy(dry + i, dry + n, left + i);
          std::copy(dry + i, dry + n, right + i);
        }
        return;
      }
      wet_ = enabled ? std::min(1.0f, wet_ + step_) : std::max(0.0f, wet_ - step_);
      left[i] = dry[i] + (left[i] - dry[i]) * wet_;
      right[i] = dry[i] + (right[i] - dry[i]) * wet_;
    }
  }

 private:
  float wet_ = 1.0f;
  float step_ = 1.0f;
};

}  // namespace fw::plugin
