#include "audio/stereo_chorus.h"

#include <algorithm>
#include <cmath>

namespace fw {
namespace {

constexpr float kTwoPi = 6.28318530717958647692f;
constexpr float kSweepHz = 0.55f;
constexpr float kSlowHz = 0.13f;
constexpr float kDepthSmoothing = 0.0005f;  // one-pole step for depth changes (~45 ms)
constexpr float kWetSmoothing = 0.002f;     // and for turning the chorus on or off (~11 ms)
constexpr float kDryGain = 0.70710678f;
constexpr float kWetGain = 0.70710678f;

// 4-point Hermite interpolation between y1 and y2 at fraction t.
float Hermite(float y0, float y1, float y2, float y3, float t) noexcept {
  const float c1 = 0.5f * (y2 - y0);
  const float c2 = y0 - 2.5f * y1 + 2.0f * y2 - 0.5f * y3;
  const float c3 = 0.5f * (y3 - y0) + 1.5f * (y1 - y2);
  return ((c3 * t + c2) * t + c1) * t + y1;
}

}  // namespace

inline float StereoChorus::Read(float delay) const noexcept {
  const float position = static_cast<float>(write_) - delay;
  // floor(position), exact: |position| stays far below 2^23.
  int i = static_cast<int>(position);
  if (static_cast<float>(i) > position) --i;
  const float t = position - static_cast<float>(i);
  constexpr int mask = kLineSize - 1;
  return Hermite(line_[(i - 1) & mask], line_[i & mask], line_[(i + 1) & mask], line_[(i + 2) & mask], t);
}

void StereoChorus::Process(const float* mono, float* left, float* right, int n, int maxDelay, bool wanted,
                           float sampleRate) noexcept {
  const float depthTarget = static_cast<float>(std::clamp(maxDelay, 0, kMaxDelay));
  const float wetTarget = (wanted && maxDelay > 0) ? 1.0f : 0.0f;
  const float rate = sampleRate > 0.0f ? sampleRate : 44100.0f;
  const float sweepStep = kSweepHz / rate;
  const float slowStep = kSlowHz / rate;
  constexpr int mask = kLineSize - 1;

  for (int i = 0; i < n; ++i) {
    const float x = mono[i];
    line_[write_ & mask] = x;

    depthNow_ += (depthTarget - depthNow_) * kDepthSmoothing;
    wetNow_ += (wetTarget - wetNow_) * kWetSmoothing;
    if (wetTarget == 0.0f && wetNow_ < 1e-5f) wetNow_ = 0.0f;

    float wetLeft = 0.0f;
    float wetRight = 0.0f;
    if (wetNow_ > 0.0f && depthNow_ >= 1.0f) {
      // The delay sweeps between a fifth of the longest delay and the longest one;
      // the sides are a quarter period apart, so the image moves without the mono
      // sum losing its body.
      const float drift = 0.1f * std::sin(kTwoPi * slowPhase_);
      const float sweepLeft = 0.5f + 0.5f * std::sin(kTwoPi * phase_);
      const float sweepRight = 0.5f + 0.5f * std::cos(kTwoPi * phase_);
      const float low = 0.2f * depthNow_;
      const float span = depthNow_ - low - 2.0f;
      wetLeft = Read(std::max(2.0f, low + span * std::clamp(sweepLeft + drift, 0.0f, 1.0f)));
      wetRight = Read(std::max(2.0f, low + span * std::clamp(sweepRight - drift, 0.0f, 1.0f)));
    }
    const float dry = 1.0f - (1.0f - kDryGain) * wetNow_;
    const float wet = kWetGain * wetNow_;
    left[i] = x * dry + wetLeft * wet;
    right[i] = x * dry + wetRight * wet;

    ++write_;
    phase_ += sweepStep;
    if (phase_ >= 1.0f) phase_ -= 1.0f;
    slowPhase_ += slowStep;
    if (slowPhase_ >= 1.0f) slowPhase_ -= 1.0f;
  }
  write_ &= mask;
}

}  // namespace fw
