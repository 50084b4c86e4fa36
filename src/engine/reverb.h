#pragma once
// The reverb: a copy of the block passes four all-pass sections in series, then a
// plain delay and a one-pole "Brightness" low-pass; the result, scaled by the reverb
// gain, is added to the work buffer.
#include <cstdint>

#include "core/word.h"

namespace fw {

class Reverb {
 public:
  static constexpr int kInputCapacity = 17001;
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

  // The chain's call on work[0..n): the block is copied to the reverb input, passes
  // the four all-pass sections with ReverbAllPassGain, then the second stage with
  // ReverbDelay2 adds the wet signal to work.
  void Process(float* work, int n) noexcept;

  // The activation sequence's reset: the four all-pass positions to 0; the lines keep their content.
  void ResetAllPassPositions() noexcept;

  std::int32_t AllPassPosition(int section) const noexcept { return positions_[section].load(); }
  float AllPassLineSample(int section, int index) const noexcept { return lines_[section][index]; }
  std::int32_t SecondPosition() const noexcept { return secondPosition_; }

 private:
  // One Schroeder all-pass section over input_[0..n), in place.
  void ReverbAllPass(int n, int length, float* line, IntWord& position, float g) noexcept;
  // The second stage over input_[0..n): delays by `length` samples (one sample for a
  // length of 0 or 1), low-passes, and adds the result × ReverbGain2 to work.
  void ReverbOutput(float* work, int n, int length) noexcept;

  float input_[kInputCapacity] = {};
  float lines_[4][kLineCapacity] = {};
  // All-pass positions: advanced by the audio side, set to 0 by every activation.
  IntWord positions_[4] = {};

  // Second stage: audio side only.
  float secondLine_[kLineCapacity] = {};
  std::int32_t secondPosition_ = 0;
  float lowPassState_ = 0.0f;
};

// The activation sequence's reverb values: the all-pass positions to 0 and
// ReverbAllPassGain 0.26 (the "Reverb Decay 2" control then makes it 0.75).
void SetReverbStartValues(Reverb& reverb) noexcept;

// The reverb gain of "Reverb Gain 1" and "Reverb Gain 2": 1.0 multiplied by 0.84 once
// per position step (1.0 at position 0 or below).
float ReverbGainForPosition(int position) noexcept;

}  // namespace fw
