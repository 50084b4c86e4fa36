#pragma once
// The flanger: the signal plus a copy of itself delayed by a time that sweeps
// between about 1 and 301 samples, read with linear interpolation, with feedback of
// the delayed signal into the delay line.
#include <cstdint>

#include "core/word.h"

namespace fw {

struct Flanger {
  static constexpr int kRingLength = 4096;
  static constexpr int kLineCapacity = 5001;
  static constexpr float kSweepTop = 300.0f;  // the sweep turns back once above this

  // Levels: written by the window thread.
  FloatWord FlangerGain{0.0f};      // level of the delayed signal added to the output
  FloatWord FlangerFeedback{0.0f};  // share of the delayed signal fed back into the line

  // Positions and sweep: advanced by the audio side; the reset, the presets'
  // rewind and the speed control set them from the window thread.
  IntWord writePosition{0};
  FloatWord readPosition{1.0f};
  IntWord readIndex{0};         // trunc(read position), in the ring
  IntWord nextReadIndex{0};     // read index + 1, in the ring
  FloatWord sweepSpeed{0.0f};   // change of delay per sample, signed
  FloatWord sweepAmount{0.0f};  // accumulated sweep, kept in 0..300 by reversing the speed

  // Audio side only; never cleared.
  float line[kLineCapacity] = {};
  float lastOutput = 0.0f;

  // Processes work[0..n) in place.
  void FlangerBlock(float* work, int n) noexcept;

  // The reset of "Off/On" and of the activation sequence: delay 301 samples, speed
  // 0.0075, amount 0.001, gain and feedback 0.5. The line and the last output stay.
  void Reset() noexcept;

  // The preset commands' "read position := 1.0".
  void RewindReadPosition() noexcept { readPosition.store(1.0f); }

  // "Flanger Speed": a positive speed, whatever the current sweep direction.
  void SetSweepSpeed(float speed) noexcept { sweepSpeed.store(speed); }
};

}  // namespace fw
