#include "engine/reverb.h"

#include <algorithm>

#include "engine/stage_state_word.h"

namespace fw {

void Reverb::ReverbAllPass(int n, int length, float* line, IntWord& position, float g) noexcept {
  const int limit = std::clamp(length, 1, kLineCapacity);
  const std::int32_t atStart = position.load();
  std::int32_t p = (atStart >= 0 && atStart < kLineCapacity) ? atStart : 0;
  for (int i = 0; i < n; ++i) {
    const float d = line[p];
    const float y = d * g + input[i];
    input[i] = d - y * g;
    line[p] = y;
    p = p + 1;
    if (p >= limit) p = 0;
  }
  StoreUnlessRewritten(position, atStart, p);
}

void Reverb::ReverbOutput(float* work, int n, int length, const EngineParams& params) noexcept {
  // A longer length than the line would write past it; the controls stop at 2400.
  const int limit = std::min(length, kLineCapacity);
  std::int32_t q = secondPosition;
  float s = lowPassState;
  for (int i = 0; i < n; ++i) {
    const float v = secondLine[q];
    secondLine[q] = input[i];
    s = s + (v - s) * ReverbBrightness.load();
    work[i] = work[i] + s * params.ReverbGain2.load();
    q = q + 1;
    if (q >= limit) q = 0;
  }
  secondPosition = q;
  lowPassState = s;
}

void Reverb::ResetAllPassPositions() noexcept {
  for (IntWord& p : positions) p.store(0);
}

void SetReverbStartValues(Reverb& reverb, EngineParams& params) noexcept {
  reverb.ResetAllPassPositions();
  params.ReverbAllPassGain.store(0.26f);
}

float ReverbGainForPosition(int position) noexcept {
  float gain = 1.0f;
  for (int step = 0; step < position; ++step) gain = gain * 0.84f;
  return gain;
}

}  // namespace fw
