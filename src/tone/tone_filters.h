#pragma once
// Tone filters around the distortions: FVC1 (with the low-boost side buffer),
// FVC2, FVC3, the fixed second-order section, the fixed high-pass, the high
// pre-equaliser and the second low-pass. (Placeholder: passes the block through.)
#include <cstdint>

#include "engine/word.h"

namespace fw {

struct ToneFilters {
  void Fvc1Filter(float* work, float* side, int n) noexcept { (void)work, (void)side, (void)n; }
  void Fvc2Stage(float* work, int n) noexcept { (void)work, (void)n; }
  void Fvc3Filter(float* work, int n) noexcept { (void)work, (void)n; }
  void FixedSection(float* work, int n) noexcept { (void)work, (void)n; }
  void FixedHighPass(float* work, int n) noexcept { (void)work, (void)n; }
  void HiPreSectionA(float* work, int n) noexcept { (void)work, (void)n; }
  void HiPreSectionB(float* work, int n) noexcept { (void)work, (void)n; }
  void LowPass2(float* work, int n) noexcept { (void)work, (void)n; }
  float Fvc1Step(std::int32_t x) noexcept { return static_cast<float>(x); }
};

}  // namespace fw
