#pragma once
// The soft distortion and the waveshaper distortion. (Placeholder: passes the block through.)
#include "engine/word.h"

namespace fw {

struct Distortions {
  void SoftDistortion(float* work, int n) noexcept { (void)work, (void)n; }
  // Runs WaveshaperDistortion with the current knee, smoothing and level words.
  void Waveshaper(float* work, int n) noexcept { (void)work, (void)n; }
};

}  // namespace fw
