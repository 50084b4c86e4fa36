// Cost per sample of the tone filters and distortions on a 220-sample block
// (items processed = samples, so the report reads as time per sample).
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>

#include "tone/distortions.h"
#include "tone/tone_filters.h"

namespace {

constexpr int kBlock = 220;

struct Bench {
  std::unique_ptr<fw::ToneFilters> filters = std::make_unique<fw::ToneFilters>();
  std::unique_ptr<fw::Distortions> distortions = std::make_unique<fw::Distortions>();
  std::array<float, kBlock> input{};
  std::array<float, kBlock> work{};
  std::array<float, kBlock> side{};

  Bench() {
    for (int i = 0; i < kBlock; ++i) {
      input[static_cast<std::size_t>(i)] = 12000.0f * std::sin(0.07f * static_cast<float>(i)) + 300.0f;
    }
    filters->HiPassGain.store(2.0f);
    filters->LowPass2Coefficient.store(0.3f);
  }
  // A fresh, audible block each time, so no state sinks into denormals.
  float* Fresh() {
    work = input;
    return work.data();
  }
};

template <class Stage>
void RunStage(benchmark::State& state, Stage stage) {
  Bench b;
  for (auto _ : state) {
    stage(b, b.Fresh());
    benchmark::DoNotOptimize(b.work.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_Fvc1Filter(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) { b.filters->Fvc1Filter(w, b.side.data(), kBlock); });
}
void BM_Fvc2Stage(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) { b.filters->Fvc2Stage(w, kBlock); });
}
void BM_Fvc3Filter(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) { b.filters->Fvc3Filter(w, kBlock); });
}
void BM_FixedSection(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) { b.filters->FixedSection(w, kBlock); });
}
void BM_FixedHighPass(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) { b.filters->FixedHighPass(w, kBlock); });
}
void BM_HiPreSections(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) {
    b.filters->HiPreSectionA(w, kBlock);
    b.filters->HiPreSectionB(w, kBlock);
  });
}
void BM_LowPass2(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) { b.filters->LowPass2(w, kBlock); });
}
void BM_SoftDistortion(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) { b.distortions->SoftDistortion(w, kBlock, 1.0f); });
}
void BM_SoftDistortionPerSample(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) {
    b.distortions->SoftArmed.store(1);
    b.distortions->SoftDivisor.store(1);
    b.distortions->SoftDistortion(w, kBlock, 1.0f);
  });
}
void BM_Waveshaper(benchmark::State& s) {
  RunStage(s, [](Bench& b, float* w) { b.distortions->Waveshaper(w, kBlock); });
}

}  // namespace

BENCHMARK(BM_Fvc1Filter);
BENCHMARK(BM_Fvc2Stage);
BENCHMARK(BM_Fvc3Filter);
BENCHMARK(BM_FixedSection);
BENCHMARK(BM_FixedHighPass);
BENCHMARK(BM_HiPreSections);
BENCHMARK(BM_LowPass2);
BENCHMARK(BM_SoftDistortion);
BENCHMARK(BM_SoftDistortionPerSample);
BENCHMARK(BM_Waveshaper);
