#pragma once
// The low-frequency boost: the waveshaper distorts the low part FVC1 removed (the
// side buffer) as well as the work buffer, and the distorted side is mixed back in.
// FVC1 is the only stage that refreshes the side buffer; while it is off the boost
// distorts whatever the buffer last held. Both buffers belong to the audio side.
#include "core/word.h"
#include "engine/buffers.h"

namespace fw {

struct Distortions;

class LowBoost {
 public:
  FloatWord LowBoostMix{4000.0f};  // mix factor of the boost pass, used × 0.0005

  // Where FVC1 writes the low part it removes.
  float* Side() noexcept { return side_; }
  const float* Side() const noexcept { return side_; }

  // work[0 .. n-1] in place: the side buffer through the waveshaper (kept distorted),
  // then the work buffer, then work[i] = side[i] × LowBoostMix × 0.0005 + work[i].
  void Process(float* work, int n, Distortions& shaper) noexcept;

 private:
  float side_[kWorkCapacity] = {};
};

}  // namespace fw
