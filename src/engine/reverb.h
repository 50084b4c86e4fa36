#pragma once
// The reverb: a copy of the signal passes four all-pass sections in series, then a
// plain delay and a one-pole "Brightness" low-pass; the result, scaled by the reverb
// gain, is added to the signal.
#include <algorithm>
#include <cstdint>

#include "core/word.h"
#include "engine/stage_state_word.h"

namespace fw {

class Reverb {
 public:
  static constexpr int kLineCapacity = 2501;
  static constexpr int kAllPassLengths[4] = {2203, 1511, 1049, 787};

  // Parameters: written by the window thread, read once per block.
  FloatWord ReverbAllPassGain{0.26f};  // coefficient of the four all-pass sections
  IntWord ReverbDelay2{0};             // the second stage's delay in samples
  FloatWord ReverbGain2{0.84f};        // gain of the wet signal
  FloatWord ReverbBrightness{0.01f};   // the second stage's low-pass (1.0 = transparent)

  // The "Non realtime reverb" group: stored for presets and the window, read by no stage.
  IntWord ReverbDelay1{24};
  FloatWord ReverbGain1{1.0f};
  FloatWord ReverbDecay1{0.26f};
  FloatWord ReverbBrightness1{0.01f};

  // The chain's call on work[0..n): each sample passes the four all-pass sections
  // with ReverbAllPassGain, then the second stage with ReverbDelay2, which adds the
  // wet signal to it.
  void Process(float* work, int n) noexcept;

  // The reverb one sample at a time, for loops that run several stages per sample:
  // words read when the run starts, positions and states written back when it ends.
  class Run {
   public:
    explicit Run(Reverb& r) noexcept;
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    float Step(float x) noexcept {
      // Four Schroeder all-pass sections in series.
      float in = x;
      for (int s = 0; s < 4; ++s) {
        float* line = r_.lines_[s];
        const float d = line[p_[s]];
        const float y = d * g_ + in;
        in = d - y * g_;
        line[p_[s]] = y;
        p_[s] = p_[s] + 1;
        if (p_[s] >= kAllPassLengths[s]) p_[s] = 0;
      }
      // The second stage: delays by its length (one sample for a length of 0 or 1)
      // and low-passes; the result times ReverbGain2 is added to the dry sample.
      const float v = r_.secondLine_[q_];
      r_.secondLine_[q_] = in;
      low_ = low_ + (v - low_) * brightness_;
      q_ = q_ + 1;
      if (q_ >= limit_) q_ = 0;
      return x + low_ * gain_;
    }

   private:
    Reverb& r_;
    const float g_;
    const float brightness_;
    const float gain_;
    const std::int32_t limit_;
    std::int32_t atStart_[4];
    std::int32_t p_[4];
    std::int32_t q_;
    float low_;
  };

  // The activation sequence's reset: the four all-pass positions to 0; the lines keep their content.
  void ResetAllPassPositions() noexcept;

  std::int32_t AllPassPosition(int section) const noexcept { return positions_[section].load(); }
  float AllPassLineSample(int section, int index) const noexcept { return lines_[section][index]; }
  std::int32_t SecondPosition() const noexcept { return secondPosition_; }

 private:
  float lines_[4][kLineCapacity] = {};
  // All-pass positions: advanced by the audio side, set to 0 by every activation.
  IntWord positions_[4] = {};

  // Second stage: audio side only; a longer length than the line would write past
  // it (the controls stop at 2400).
  float secondLine_[kLineCapacity] = {};
  std::int32_t secondPosition_ = 0;
  float lowPassState_ = 0.0f;
};

inline Reverb::Run::Run(Reverb& r) noexcept
    : r_(r),
      g_(r.ReverbAllPassGain.load()),
      brightness_(r.ReverbBrightness.load()),
      gain_(r.ReverbGain2.load()),
      limit_(std::min<std::int32_t>(r.ReverbDelay2.load(), kLineCapacity)),
      q_(r.secondPosition_),
      low_(r.lowPassState_) {
  static_assert(*std::max_element(kAllPassLengths, kAllPassLengths + 4) <= kLineCapacity);
  for (int s = 0; s < 4; ++s) {
    atStart_[s] = r.positions_[s].load();
    p_[s] = (atStart_[s] >= 0 && atStart_[s] < kLineCapacity) ? atStart_[s] : 0;
  }
}

inline Reverb::Run::~Run() {
  for (int s = 0; s < 4; ++s) StoreUnlessRewritten(r_.positions_[s], atStart_[s], p_[s]);
  r_.secondPosition_ = q_;
  r_.lowPassState_ = low_;
}

// The activation sequence's reverb values: the all-pass positions to 0 and
// ReverbAllPassGain 0.26 (the "Reverb Decay 2" control then makes it 0.75).
void SetReverbStartValues(Reverb& reverb) noexcept;

// The reverb gain of "Reverb Gain 1" and "Reverb Gain 2": 1.0 multiplied by 0.84 once
// per position step (1.0 at position 0 or below).
float ReverbGainForPosition(int position) noexcept;

}  // namespace fw
