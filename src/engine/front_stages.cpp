#include "engine/front_stages.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace fw {
namespace {

// Which of the switchable stages run in this block.
enum FrontStage : unsigned {
  kHiPass = 1,
  kHiPre = 2,
  kSoft = 4,
  kSoftPerSample = 8,
  kFvc1 = 16,
  kFrontStageSets = 32,
};

// With the live input muted the chain has not applied the input gain to the work
// buffer; the soft distortion applies it to what it reads.
float GainLeftToSoftDistortion(const StageParams& p) noexcept {
  return p.LiveInputFactor.load() < 0.5f ? p.InputGain.load() : 1.0f;
}

// One loop per set of stages: the switches are template arguments, so no sample
// tests them. A stage that is off keeps its state untouched (no run of it exists).
template <unsigned kStages>
void RunFrontLoop(Engine& e, int n, const Distortions::SoftWords& softWords, float softGain) noexcept {
  float* work = e.buffers.work;
  float* side = e.lowBoost.Side();
  std::optional<ToneFilters::FixedHighPassRun> hiPass;
  std::optional<ToneFilters::HiPreRun> hiPre;
  std::optional<Distortions::SoftRun> soft;
  std::optional<ToneFilters::Fvc1Run> fvc1;
  if constexpr ((kStages & kHiPass) != 0) hiPass.emplace(e.filters);
  if constexpr ((kStages & kHiPre) != 0) hiPre.emplace(e.filters);
  ToneFilters::Fvc3Run fvc3(e.filters);
  if constexpr ((kStages & kSoft) != 0) soft.emplace(e.distortion, softWords, softGain);
  if constexpr ((kStages & kFvc1) != 0) fvc1.emplace(e.filters);

  // The stages up to the soft distortion's power, per sample.
  const auto head = [&](float x) noexcept {
    if constexpr ((kStages & kHiPass) != 0) x = hiPass->Step(x);
    if constexpr ((kStages & kHiPre) != 0) x = hiPre->Step(x);
    return fvc3.Step(x);
  };
  const auto tail = [&](float x, float& sideSample) noexcept {
    if constexpr ((kStages & kFvc1) != 0) x = fvc1->Step(x, sideSample);
    return x;
  };
  if constexpr ((kStages & kSoft) == 0) {
    for (int i = 0; i < n; ++i) work[i] = tail(head(work[i]), side[i]);
  } else {
    // In chunks of three loops, the power calls alone in the middle: a call
    // would otherwise spill the other stages' state every sample.
    constexpr int kChunk = 64;
    constexpr bool kPerSample = (kStages & kSoftPerSample) != 0;
    Distortions::SoftRun::Taken taken[kChunk];
    float power[kChunk];
    for (int start = 0; start < n; start += kChunk) {
      const int count = std::min(kChunk, n - start);
      float* w = work + start;
      for (int i = 0; i < count; ++i) taken[i] = soft->template Take<kPerSample>(head(w[i]));
      for (int i = 0; i < count; ++i) power[i] = soft->Power(taken[i].m);
      for (int i = 0; i < count; ++i) w[i] = tail(soft->Shape(taken[i], power[i]), side[start + i]);
    }
  }
}

using FrontLoop = void (*)(Engine&, int, const Distortions::SoftWords&, float) noexcept;

template <unsigned... kSets>
constexpr std::array<FrontLoop, sizeof...(kSets)> FrontLoops(std::integer_sequence<unsigned, kSets...>) {
  return {&RunFrontLoop<kSets>...};
}
constexpr auto kFrontLoops = FrontLoops(std::make_integer_sequence<unsigned, kFrontStageSets>{});

}  // namespace

void RunFrontStages(Engine& e, int n, bool withEqualisers) noexcept {
  EngineParams& p = e.params;
  if (withEqualisers && p.PreEqOn.load() == 1) e.eq.PreEqualiser(e.buffers.work, n);

  unsigned stages = 0;
  if (p.HiPassOn.load() == 1) stages |= kHiPass;
  if (p.HiPreOn.load() == 1) stages |= kHiPre;
  Distortions::SoftWords softWords{};
  float softGain = 1.0f;
  if (p.SoftDistortionOn.load() == 1.0f) {
    softGain = GainLeftToSoftDistortion(p);
    softWords = e.distortion.ReadSoftWords();
    stages |= softWords.PerSample() ? kSoft | kSoftPerSample : kSoft;
  }
  if (p.Fvc1On.load() == 1) stages |= kFvc1;
  kFrontLoops[stages](e, n, softWords, softGain);
}

}  // namespace fw
