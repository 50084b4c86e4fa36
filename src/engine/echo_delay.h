#pragma once
// Five-tap echo delay: equally spaced echoes of the input read from a long line of
// past input (no feedback), each one weaker than the one before, and an output gain
// over dry signal and echoes. "Very Light Flanger" sweeps all five delays together.
#include <cstdint>

#include "core/word.h"

namespace fw {

struct Echo {
  static constexpr int kRingLength = 134000;
  // The ring plus spare entries that are never written and read as 0 by a swept
  // tap that overshoots the end of the ring.
  static constexpr int kLineCapacity = 134501;
  static constexpr int kTapCount = 5;
  static constexpr std::int32_t kSweepTop = 600;  // the offset turns back once above this
  // Spacings the line can serve: every read, swept or not, stays inside the line.
  static constexpr std::int32_t kMinSpacing = 100;
  static constexpr std::int32_t kMaxSpacing = 26799;

  // Parameters: written by the window thread, read once per block.
  IntWord EchoDelay{3000};    // samples between two echoes
  FloatWord EchoDecay{0.0f};  // ratio between successive echoes
  FloatWord EchoLevel{0.0f};  // gain of the first echo
  FloatWord EchoGain{0.0f};   // output gain over dry signal and echoes
  IntWord EchoSweepOn{0};     // 1 = "Very Light Flanger"
  FloatWord taps[kTapCount] = {};

  // Sweep state: walked by the audio side, reset by the activation sequence.
  IntWord sweepOffset{0};
  IntWord sweepCounter{0};
  IntWord sweepDirection{1};

  // Audio side only.
  float line[kLineCapacity] = {};
  std::int32_t writePosition = 0;

  // Processes work[0..n) in place with the given echo spacing in samples.
  void EchoDelayBlock(float* work, int n, int delay) noexcept;
  // The chain's call: EchoDelayBlock with this stage's EchoDelay.
  void Process(float* work, int n) noexcept { EchoDelayBlock(work, n, EchoDelay.load()); }

  // The tap computation of the "Decay" and "Echo Gain" controls:
  // tap[k] = level × decay^k, built one multiplication at a time.
  void SetTaps(float level, float decay) noexcept;

  // The activation sequence's sweep reset: offset 0, counter 0, direction +1, sweep off.
  void ResetSweep() noexcept;
};

// The activation sequence's echo values before it moves the echo controls:
// EchoDelay 3000, EchoDecay 0.5, EchoGain 0.33, EchoLevel 0 (the caller turns the
// echo off). The taps stay as they are until a tap control moves.
void SetEchoStartValues(Echo& echo) noexcept;

}  // namespace fw
