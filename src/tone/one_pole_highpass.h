#pragma once
// A one-pole high-pass section: the input minus its one-pole low-pass, times a gain.
// The high pre-equaliser runs two of them in series. State: audio side only.
namespace fw {

class OnePoleHighPass {
 public:
  // work[0 .. n-1] in place: low = low + (x - low) × alpha; work[i] = (x - low) × gain.
  // A gain of 1 leaves x - low exactly as it is.
  void Process(float* work, int n, float alpha, float gain) noexcept {
    float low = low_;
    for (int i = 0; i < n; ++i) {
      const float x = work[i];
      low = low + (x - low) * alpha;
      work[i] = (x - low) * gain;
    }
    low_ = low;
  }

 private:
  float low_ = 0.0f;
};

}  // namespace fw
