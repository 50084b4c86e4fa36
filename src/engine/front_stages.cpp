// The eight-lane bank code is only ever inlined into functions built for AVX2
// (target("avx2"), flatten), so no eight-lane vector crosses a call.
#pragma GCC diagnostic ignored "-Wpsabi"

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

constexpr int kChunk = 64;  // samples per pass of the loops below

// One loop per set of stages and pre equaliser width W (0 without it): the
// switches are template arguments, so no sample tests them. A stage that is off
// keeps its state untouched (no run of it exists). The stages run over chunks;
// the pre equaliser steps its bank one chunk ahead, in the same loop as the
// stages after it, so that its recursion overlaps theirs.
template <unsigned kStages, int W>
[[gnu::always_inline]] inline void RunFrontLoop(Engine& e, int n, const Distortions::SoftWords& softWords,
                                                float softGain) noexcept {
  constexpr bool kPreEq = W != 0;
  constexpr bool kSoftOn = (kStages & kSoft) != 0;
  constexpr bool kPerSample = (kStages & kSoftPerSample) != 0;
  using EqRun = GraphicEqualiser::Run<kPreEq ? W : kLanes>;
  float* work = e.buffers.work;
  float* side = e.lowBoost.Side();
  std::optional<EqRun> eq;
  std::optional<ToneFilters::FixedHighPassRun> hiPass;
  std::optional<ToneFilters::HiPreRun> hiPre;
  std::optional<Distortions::SoftRun> soft;
  std::optional<ToneFilters::Fvc1Run> fvc1;
  if constexpr (kPreEq) eq.emplace(e.eq.pre);
  if constexpr ((kStages & kHiPass) != 0) hiPass.emplace(e.filters);
  if constexpr ((kStages & kHiPre) != 0) hiPre.emplace(e.filters);
  ToneFilters::Fvc3Run fvc3(e.filters);
  if constexpr (kSoftOn) soft.emplace(e.distortion, softWords, softGain);
  if constexpr ((kStages & kFvc1) != 0) fvc1.emplace(e.filters);

  // The stages up to the soft distortion's power, and those after it.
  const auto head = [&](float x) noexcept {
    if constexpr ((kStages & kHiPass) != 0) x = hiPass->Step(x);
    if constexpr ((kStages & kHiPre) != 0) x = hiPre->Step(x);
    return fvc3.Step(x);
  };
  const auto tail = [&](float x, float& sideSample) noexcept {
    if constexpr ((kStages & kFvc1) != 0) x = fvc1->Step(x, sideSample);
    return x;
  };

  typename EqRun::Row rows[kPreEq ? kChunk : 1];
  // body(i) for i < count; the first nextCount of them also step the bank on next[i].
  const auto alongsideBank = [&](int count, const float* next, int nextCount, auto body) noexcept {
    int i = 0;
    if constexpr (kPreEq) {
      for (; i < nextCount; ++i) {
        eq->StepBands(next[i], rows[i]);
        body(i);
      }
    }
    for (; i < count; ++i) body(i);
  };
  if constexpr (kPreEq) {
    const int first = std::min(kChunk, n);
    for (int i = 0; i < first; ++i) eq->StepBands(work[i], rows[i]);
    eq->Sum(rows, first, work);
  }

  // The soft distortion's power calls run alone in a loop of their own: a call
  // would otherwise spill the other stages' state every sample.
  [[maybe_unused]] Distortions::SoftRun::Taken taken[kSoftOn ? kChunk : 1];
  [[maybe_unused]] float power[kSoftOn ? kChunk : 1];
  for (int start = 0; start < n; start += kChunk) {
    const int count = std::min(kChunk, n - start);
    float* w = work + start;
    float* s = side + start;
    float* next = work + std::min(start + kChunk, n);
    const int nextCount = kPreEq ? std::clamp(n - start - kChunk, 0, kChunk) : 0;
    if constexpr (!kSoftOn) {
      alongsideBank(count, next, nextCount, [&](int i) noexcept { w[i] = tail(head(w[i]), s[i]); });
    } else {
      alongsideBank(count, next, nextCount,
                    [&](int i) noexcept { taken[i] = soft->template Take<kPerSample>(head(w[i])); });
      for (int i = 0; i < count; ++i) power[i] = soft->Power(taken[i].m);
      for (int i = 0; i < count; ++i) w[i] = tail(soft->Shape(taken[i], power[i]), s[i]);
    }
    if constexpr (kPreEq) {
      if (nextCount > 0) eq->Sum(rows, nextCount, next);
    }
  }
}

using FrontLoop = void (*)(Engine&, int, const Distortions::SoftWords&, float) noexcept;

template <unsigned kStages>
void RunFrontWithoutEqualiser(Engine& e, int n, const Distortions::SoftWords& w, float g) noexcept {
  RunFrontLoop<kStages, 0>(e, n, w, g);
}
template <unsigned kStages>
void RunFrontInFourLanes(Engine& e, int n, const Distortions::SoftWords& w, float g) noexcept {
  RunFrontLoop<kStages, 4>(e, n, w, g);
}
template <unsigned kStages>
__attribute__((target("avx2"), flatten)) void RunFrontInEightLanes(Engine& e, int n,
                                                                   const Distortions::SoftWords& w,
                                                                   float g) noexcept {
  RunFrontLoop<kStages, 8>(e, n, w, g);
}

template <unsigned... kSets>
constexpr std::array<std::array<FrontLoop, sizeof...(kSets)>, 3> FrontLoops(
    std::integer_sequence<unsigned, kSets...>) {
  return {{{&RunFrontWithoutEqualiser<kSets>...},
           {&RunFrontInFourLanes<kSets>...},
           {&RunFrontInEightLanes<kSets>...}}};
}
// By pre equaliser: off, four lanes, eight lanes; then by set of stages.
constexpr auto kFrontLoops = FrontLoops(std::make_integer_sequence<unsigned, kFrontStageSets>{});

}  // namespace

void RunFrontStages(Engine& e, int n, bool withEqualisers, BankWidth width) noexcept {
  EngineParams& p = e.params;
  const bool preEq = withEqualisers && p.PreEqOn.load() == 1;

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
  const int byEqualiser = !preEq ? 0 : width == BankWidth::kEight ? 2 : 1;
  kFrontLoops[byEqualiser][stages](e, n, softWords, softGain);
}

}  // namespace fw
