// Cost of each stage of the chain in ns per sample, at both engine rates, on an
// engine set up as the chain benchmarks set it (every switch on) and fed the same
// guitar-like block each time: where the chain's time goes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "core/denormals.h"
#include "engine/back_stages.h"
#include "engine/engine.h"
#include "engine/front_stages.h"
#include "support/stage_setup.h"

namespace fw {
namespace {

constexpr int kBlock = 220;

enum Stage {
  kPreEq,
  kHiPass,
  kHiPre,
  kFvc3,
  kSoft,
  kFvc1,
  kShaperLowBoost,
  kTube,
  kFixed,
  kFvc2,
  kPostEq,
  kEcho,
  kElliptic,
  kLowPass2,
  kFlanger,
  kReverb,
  kFront,  // the front stages, pre equaliser to FVC1, as the chain runs them
  kStageCount
};
constexpr const char* kStageNames[kStageCount] = {
    "PreEq", "HiPass", "HiPre", "Fvc3",     "Soft",     "Fvc1",    "ShaperLowBoost", "Tube", "Fixed",
    "Fvc2",  "PostEq", "Echo",  "Elliptic", "LowPass2", "Flanger", "Reverb",         "Front"};

void RunStage(Engine& e, int stage, float* w, int n) {
  switch (stage) {
    case kPreEq:
      e.eq.PreEqualiser(w, n);
      break;
    case kHiPass:
      e.filters.FixedHighPass(w, n);
      break;
    case kHiPre:
      e.filters.HiPreSectionA(w, n), e.filters.HiPreSectionB(w, n);
      break;
    case kFvc3:
      e.filters.Fvc3Filter(w, n);
      break;
    case kSoft:
      e.distortion.SoftDistortion(w, n, 1.0f);
      break;
    case kFvc1:
      e.filters.Fvc1Filter(w, e.lowBoost.Side(), n);
      break;
    case kShaperLowBoost:
      e.lowBoost.Process(w, n, e.distortion);
      break;
    case kTube:
      e.tube.FoldThenVoice(w, n);
      break;
    case kFixed:
      e.filters.FixedSection(w, n);
      break;
    case kFvc2:
      e.filters.Fvc2Stage(w, n);
      break;
    case kPostEq:
      e.eq.PostEqualiser(w, n);
      break;
    case kEcho:
      e.echo.Process(w, n);
      break;
    case kElliptic:
      e.elliptic.Process(w, n);
      break;
    case kLowPass2:
      e.filters.LowPass2(w, n);
      break;
    case kFlanger:
      e.flanger.FlangerBlock(w, n);
      break;
    case kReverb:
      e.reverb.Process(w, n);
      break;
    case kFront:
      RunFrontStages(e, n, true);
      break;
    default:
      break;
  }
}

std::unique_ptr<Engine> EveryStageOn(int rate) {
  auto engine = MakeEngine();
  test::DesignStages(*engine);
  test::SetEveryStage(engine->params, 1);
  engine->echo.EchoDelay.store(6500);
  engine->reverb.ReverbDelay2.store(1500);
  engine->params.EngineSampleRate.store(rate);
  return engine;
}

std::array<float, kBlock> GuitarLikeBlock(int rate) {
  std::array<float, kBlock> input{};
  for (int i = 0; i < kBlock; ++i) {
    const auto t = static_cast<float>(i) / static_cast<float>(rate);
    input[static_cast<std::size_t>(i)] =
        8000.0f * std::sin(6.2831853f * 196.0f * t) + 2000.0f * std::sin(6.2831853f * 1180.0f * t);
  }
  return input;
}

template <class RunBlock>
void TimeBlocks(benchmark::State& state, Engine& engine, int rate, RunBlock runBlock) {
  FlushDenormalsOnThisThread();
  const std::array<float, kBlock> input = GuitarLikeBlock(rate);
  float* work = engine.buffers.work;
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), work);
    runBlock(work);
    benchmark::DoNotOptimize(work);
  }
  const auto samples = static_cast<double>(state.iterations()) * kBlock;
  state.counters["ns_per_sample"] =
      benchmark::Counter(samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ChainStage(benchmark::State& state) {
  const int stage = static_cast<int>(state.range(0));
  const int rate = static_cast<int>(state.range(1));
  state.SetLabel(kStageNames[stage]);
  auto engine = EveryStageOn(rate);
  TimeBlocks(state, *engine, rate, [&](float* work) { RunStage(*engine, stage, work, kBlock); });
}

// Every stage after the tube banks, by driver (0 WaveIn, 1 Direct, 2 Realtime), run
// fused (1) or one stage after another (0).
void BM_BackStages(benchmark::State& state) {
  const auto driver = static_cast<Driver>(state.range(0));
  const bool fused = state.range(1) == 1;
  const int rate = static_cast<int>(state.range(2));
  constexpr const char* kDriverNames[] = {"WaveIn", "Direct", "Realtime"};
  state.SetLabel(std::string(kDriverNames[state.range(0)]) + (fused ? "Fused" : "InTurn"));
  auto engine = EveryStageOn(rate);
  TimeBlocks(state, *engine, rate, [&](float* work) {
    if (fused) {
      RunBackStages(*engine, work, kBlock, driver);
    } else {
      RunBackStagesInTurn(*engine, work, kBlock, driver);
    }
  });
}

void StagesAtBothRates(benchmark::internal::Benchmark* b) {
  for (int rate : {22050, 44100})
    for (int stage = 0; stage < kStageCount; ++stage) b->Args({stage, rate});
}
BENCHMARK(BM_ChainStage)->Apply(StagesAtBothRates);
BENCHMARK(BM_BackStages)->ArgsProduct({{0, 1, 2}, {0, 1}, {22050, 44100}});

}  // namespace
}  // namespace fw
