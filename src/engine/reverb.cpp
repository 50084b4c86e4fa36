#include "engine/reverb.h"

#include <algorithm>

#include "engine/stage_state_word.h"

namespace fw {

void Reverb::Process(float* work, int n) noexcept {
  std::copy(work, work + n, input_);
  const float g = ReverbAllPassGain.load();
  for (int s = 0; s < 4; ++s) ReverbAllPass(n, kAllPassLengths[s], lines_[s], positions_[s], g);
  ReverbOutput(work, n, ReverbDelay2.load());
}

void Reverb::ReverbAllPass(int n, int length, float* line, IntWord& position, float g) noexcept {
  const int limit = std::clamp(length, 1, kLineCapacity);
  const std::int32_t atStart = position.load();
  std::int32_t p = (atStart >= 0 && atStart < kLineCapacity) ? atStart : 0;
  for (int i = 0; i < n; ++i) {
    const float d = line[p];
    const float y = d * g + input_[i];
    input_[i] = d - y * g;
    line[p] = y;
    p = p + 1;
    if (p >= limit) p = 0;
  }
  StoreUnlessRewritten(position, atStart, p);
}

void Reverb::ReverbOutput(float* work, int n, int length) noexcept {
  // A longer length than the line would write past it; the controls stop at 2400.
  const int limit = std::min(length, kLineCapacity);
  std::int32_t q = secondPosition_;
  float s = lowPassState_;
  const float brightness = ReverbBrightness.load();
  const float gain = ReverbGain2.load();
  for (int i = 0; i < n; ++i) {
    const float v = secondLine_[q];
    secondLine_[q] = input_[i];
    s = s + (v - s) * brightness;
    work[i] = work[i] + s * gain;
    q = q + 1;
    if (q >= limit) q = 0;
  }
  secondPosition_ = q;
  lowPassState_ = s;
}

void Reverb::ResetAllPassPositions() noexcept {
  for (IntWord& p : positions_) p.store(0);
}

void SetReverbStartValues(Reverb& reverb) noexcept {
  reverb.ResetAllPassPositions();
  reverb.ReverbAllPassGain.store(0.26f);
}

float ReverbGainForPosition(int position) noexcept {
  float gain = 1.0f;
  for (int step = 0; step < position; ++step) gain = gain * 0.84f;
  return gain;
}

}  // namespace fw
