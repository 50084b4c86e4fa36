#pragma once
// The output library's stereo chorus: one modulated delay voice per side, the two
// sweeping in quadrature, mixed with the dry signal. Audio thread only.
namespace fw {

class StereoChorus {
 public:
  static constexpr int kLineSize = 4096;  // power of two, longer than the longest delay
  static constexpr int kMaxDelay = 2000;

  // Audio thread: mono block in, stereo out. `maxDelay` is the longest delay in
  // samples (0 = chorus off); `wanted` false fades the chorus out without a click.
  void Process(const float* mono, float* left, float* right, int n, int maxDelay, bool wanted,
               float sampleRate) noexcept;

 private:
  [[gnu::always_inline]] inline float Read(int writeAt, float delay) const noexcept;

  float line_[kLineSize] = {};
  int write_ = 0;
  float phase_ = 0.0f;      // main sweep, 0..1
  float slowPhase_ = 0.0f;  // slow drift that keeps the sweep from sounding mechanical
  float depthNow_ = 0.0f;   // smoothed longest delay
  float wetNow_ = 0.0f;     // smoothed wet amount, 0..1
};

}  // namespace fw
