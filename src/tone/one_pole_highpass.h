#pragma once
// A one-pole high-pass section: the input minus its one-pole low-pass, times a gain.
// The high pre-equaliser runs two of them in series. State: audio side only.
namespace fw {

class OnePoleHighPass {
 public:
  // One block's run, sample by sample: the low-pass in a local, written back when
  // the run ends. low = low + (x - low) × alpha; out = (x - low) × gain.
  class Run {
   public:
    Run(OnePoleHighPass& section, float alpha, float gain) noexcept
        : section_(section), low_(section.low_), alpha_(alpha), gain_(gain) {}
    ~Run() { section_.low_ = low_; }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    float Step(float x) noexcept {
      low_ = low_ + (x - low_) * alpha_;
      return (x - low_) * gain_;
    }

   private:
    OnePoleHighPass& section_;
    float low_;
    const float alpha_;
    const float gain_;
  };

  // work[0 .. n-1] in place. A gain of 1 leaves x - low exactly as it is.
  void Process(float* work, int n, float alpha, float gain) noexcept {
    Run run(*this, alpha, gain);
    for (int i = 0; i < n; ++i) work[i] = run.Step(work[i]);
  }

 private:
  float low_ = 0.0f;
};

}  // namespace fw
