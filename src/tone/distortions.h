#pragma once
// The soft distortion ("Control Signal Shredder") and the waveshaper distortion.
// Parameters are engine words written by the window thread and read once per
// block; the soft distortion's ring and positions belong to the audio thread.
#include <array>
#include <cstdint>

#include "core/word.h"

namespace fw {

// The quadruple a waveshaper type loads: level e, smoothing k, knee input a, knee output b.
struct ShaperTypeSet {
  float level;
  float smooth;
  std::int32_t kneeIn;
  std::int32_t kneeOut;
};

// Types 1 to 3 ("Standard", "Light", "Hard"); type 0 loads nothing.
inline constexpr std::array<ShaperTypeSet, 3> kShaperTypeSets{{
    {0.49f, 0.1f, 1000, 10000},
    {0.242501f, 0.0005f, 1000, 30000},
    {0.117649f, 0.0028f, 400, 29800},
}};

// Positions into the soft distortion's history ring: write (also the newest),
// centre (two behind) and oldest (five behind).
struct SoftRingPositions {
  std::int32_t write;
  std::int32_t newest;
  std::int32_t centre;
  std::int32_t oldest;
};

struct Distortions {
  static constexpr int kHistoryLength = 501;
  static constexpr SoftRingPositions kArmedPositions{398, 398, 396, 393};

  // Soft distortion.
  IntWord SoftDivisor{15};          // L: divides the envelope; 1 selects per-sample shaping
  FloatWord SoftSharpness{1.0e7f};  // B: squashing sets in near sqrt(B)
  FloatWord SoftExponent{1.75f};    // P: 2 = clean, 1 = strongest
  FloatWord SoftLevel{1.0f};
  FloatWord SoftEnvelope{0.0f};  // running five-sample sum; ScrollBar7 resets it
  IntWord SoftArmed{0};          // clear: the next call arms the stage again

  // Waveshaper.
  IntWord ShaperKneeIn{1000};    // a
  IntWord ShaperKneeOut{10000};  // b
  FloatWord ShaperSmooth{0.1f};  // k
  FloatWord ShaperLevel{0.49f};  // e
  FloatWord ShaperDrive{1.0f};   // G: factor on the input magnitude

  // Stages: work[0 .. n-1] in place.
  // inputGain: what the chain left to this stage of the input gain (InputGain while
  // the live input is muted, else 1); it scales each sample on its way into the ring.
  void SoftDistortion(float* work, int n, float inputGain) noexcept;
  // The waveshaper with the current knee, smoothing and level words.
  void Waveshaper(float* work, int n) noexcept {
    WaveshaperDistortion(work, ShaperKneeIn.load(), ShaperKneeOut.load(), n, ShaperSmooth.load(),
                         ShaperLevel.load());
  }
  void WaveshaperDistortion(float* work, std::int32_t kneeIn, std::int32_t kneeOut, int n, float smooth,
                            float level) noexcept;

  // Window thread: types 1 to 3 load their quadruple; any other type loads nothing.
  void LoadShaperType(std::int32_t type) noexcept;

  const std::array<float, kHistoryLength>& SoftHistory() const noexcept { return history_; }
  const SoftRingPositions& SoftPositions() const noexcept { return positions_; }

 private:
  std::array<float, kHistoryLength> history_{};
  SoftRingPositions positions_{kArmedPositions};
};

}  // namespace fw
