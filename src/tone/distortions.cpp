#include "tone/distortions.h"

#include <algorithm>
#include <cmath>

#include "tone/lane_arctangent.h"

namespace fw {
namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFullScale = 32767.0f;

// Two straight segments through (0, 0), (a, b) and (32767, 32767), blended by
// an arctangent knee around a.
struct ShaperCurve {
  ShaperCurve(std::int32_t kneeIn, std::int32_t kneeOut, float smooth) noexcept
      : a(static_cast<float>(kneeIn)), k(smooth) {
    const float b = static_cast<float>(kneeOut);
    s1 = b / a;
    s2 = (kFullScale - b) / (kFullScale - a);
    c2 = b - (kFullScale - b) * a / (kFullScale - a);
  }
  float Angle(float u) const noexcept { return k * (u - a); }
  static float BlendOf(float atanOfAngle) noexcept { return 0.5f + atanOfAngle / kPi; }
  float Blend(float u) const noexcept { return BlendOf(std::atan(Angle(u))); }
  float Line(float u, float w) const noexcept { return (s1 - (s1 - s2) * w) * u + c2 * w; }

  float a;
  float k;
  float s1 = 0.0f;
  float s2 = 0.0f;
  float c2 = 0.0f;
};

}  // namespace

Distortions::SoftWords Distortions::ReadSoftWords() noexcept {
  if (SoftArmed.load() == 0) {
    positions_ = kArmedPositions;
    SoftEnvelope.store(0.0f);
    SoftDivisor.store(15);
    SoftSharpness.store(1.0e7f);
    SoftArmed.store(1);
  }
  return {SoftEnvelope.load(), SoftDivisor.load(), SoftSharpness.load(), SoftExponent.load(),
          SoftLevel.load()};
}

void Distortions::SoftDistortion(float* work, int n, float inputGain) noexcept {
  const SoftWords words = ReadSoftWords();
  SoftRun run(*this, words, inputGain);
  if (words.PerSample()) {
    for (int i = 0; i < n; ++i) work[i] = run.Step<true>(work[i]);
  } else {
    for (int i = 0; i < n; ++i) work[i] = run.Step<false>(work[i]);
  }
}

void Distortions::WaveshaperDistortion(float* work, std::int32_t kneeIn, std::int32_t kneeOut, int n,
                                       float smooth, float level) noexcept {
  const ShaperCurve curve(kneeIn, kneeOut, smooth);
  const float drive = ShaperDrive.load();

  const float top = curve.Line(kFullScale, curve.Blend(32768.0f));
  const float bottom = curve.Line(0.0f, curve.Blend(0.0f));
  const float scale = level * kFullScale / (top - bottom);
  const float offset = bottom * scale;

  // In chunks of three loops: the arctangents in the middle, the arithmetic around
  // them over whole arrays, all in vectors. Every sample still takes the same
  // operations in the same order.
  constexpr int kChunk = 64;
  float u[kChunk];
  float angle[kChunk];
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    float* x = work + start;
    for (int i = 0; i < count; ++i) {
      u[i] = (x[i] >= 0.0f ? x[i] : -x[i]) * drive;
      angle[i] = curve.Angle(u[i]);
    }
    ArctangentInPlace(angle, count);
    for (int i = 0; i < count; ++i) {
      const float shaped = curve.Line(u[i], ShaperCurve::BlendOf(angle[i])) * scale - offset;
      x[i] = x[i] >= 0.0f ? shaped : -shaped;
    }
  }
}

void Distortions::LoadShaperType(std::int32_t type) noexcept {
  if (type < 1 || type > static_cast<std::int32_t>(kShaperTypeSets.size())) return;
  const ShaperTypeSet& set = kShaperTypeSets[static_cast<std::size_t>(type - 1)];
  ShaperLevel.store(set.level);
  ShaperSmooth.store(set.smooth);
  ShaperKneeIn.store(set.kneeIn);
  ShaperKneeOut.store(set.kneeOut);
}

}  // namespace fw
