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

inline float StereoChorus::Read(int writeAt, float delay) const noexcept {
  const float position = static_cast<float>(writeAt) - delay;
  // floor(position), exact: |position| stays far below 2^23.
  int i = static_cast<int>(position);
  if (static_cast<float>(i) > position) --i;
  const float t = position - static_cast<float>(i);
  constexpr int mask = kLineSize - 1;
  return Hermite(line_[(i - 1) & mask], line_[i & mask], line_[(i + 1) & mask], line_[(i + 2) & mask], t);
}

// In chunks of three loops: the smoothing and the phases, which carry from sample to
// sample; the sine calls alone; then the reads and the mix. Every sample takes the
// same operations in the same order as one loop would.
void StereoChorus::Process(const float* mono, float* left, float* right, int n, int maxDelay, bool wanted,
                           float sampleRate) noexcept {
  const float depthTarget = static_cast<float>(std::clamp(maxDelay, 0, kMaxDelay));
  const float wetTarget = (wanted && maxDelay > 0) ? 1.0f : 0.0f;
  const float rate = sampleRate > 0.0f ? sampleRate : 44100.0f;
  const float sweepStep = kSweepHz / rate;
  const float slowStep = kSlowHz / rate;
  constexpr int mask = kLineSize - 1;

  constexpr int kChunk = 64;
  float depth[kChunk];
  float wetAmount[kChunk];
  float sweepPhase[kChunk];
  float slowPhase[kChunk];
  float slowSine[kChunk];
  float sweepSine[kChunk];
  float sweepCosine[kChunk];
  const auto voiced = [&](int i) { return wetAmount[i] > 0.0f && depth[i] >= 1.0f; };
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    // The chunk goes into the line first: a read reaches back at least two samples
    // and at most kMaxDelay + 1, never to a place the chunk overwrites.
    for (int i = 0; i < count; ++i) {
      line_[(write_ + i) & mask] = mono[start + i];
      depthNow_ += (depthTarget - depthNow_) * kDepthSmoothing;
      wetNow_ += (wetTarget - wetNow_) * kWetSmoothing;
      if (wetTarget == 0.0f && wetNow_ < 1e-5f) wetNow_ = 0.0f;
      depth[i] = depthNow_;
      wetAmount[i] = wetNow_;
      sweepPhase[i] = phase_;
      slowPhase[i] = slowPhase_;
      phase_ += sweepStep;
      if (phase_ >= 1.0f) phase_ -= 1.0f;
      slowPhase_ += slowStep;
      if (slowPhase_ >= 1.0f) slowPhase_ -= 1.0f;
    }
    for (int i = 0; i < count; ++i) {
      if (!voiced(i)) continue;
      slowSine[i] = std::sin(kTwoPi * slowPhase[i]);
      sweepSine[i] = std::sin(kTwoPi * sweepPhase[i]);
      sweepCosine[i] = std::cos(kTwoPi * sweepPhase[i]);
    }
    for (int i = 0; i < count; ++i) {
      const float x = mono[start + i];
      float wetLeft = 0.0f;
      float wetRight = 0.0f;
      if (voiced(i)) {
        // The delay sweeps between a fifth of the longest delay and the longest one;
        // the sides are a quarter period apart, so the image moves without the mono
        // sum losing its body.
        const float drift = 0.1f * slowSine[i];
        const float sweepLeft = 0.5f + 0.5f * sweepSine[i];
        const float sweepRight = 0.5f + 0.5f * sweepCosine[i];
        const float low = 0.2f * depth[i];
        const float span = depth[i] - low - 2.0f;
        wetLeft = Read(write_ + i, std::max(2.0f, low + span * std::clamp(sweepLeft + drift, 0.0f, 1.0f)));
        wetRight = Read(write_ + i, std::max(2.0f, low + span * std::clamp(sweepRight - drift, 0.0f, 1.0f)));
      }
      const float dry = 1.0f - (1.0f - kDryGain) * wetAmount[i];
      const float wet = kWetGain * wetAmount[i];
      left[start + i] = x * dry + wetLeft * wet;
      right[start + i] = x * dry + wetRight * wet;
    }
    write_ += count;
  }
  write_ &= mask;
}

}  // namespace fw
