// Cost of the band-pass banks and the elliptic filter per 220-sample block. Each
// benchmark reports the time per sample and the real-time factor at 44100 (the
// share of one second of audio spent processing it).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/tube_voicings.h"
#include "tone/tube_stages.h"

namespace {

constexpr int kBlock = 220;

std::vector<float> GuitarLikeBlock() {
  std::vector<float> block(kBlock);
  for (int i = 0; i < kBlock; ++i) {
    block[static_cast<size_t>(i)] =
        static_cast<float>(8000.0 * std::sin(0.07 * i) + 3000.0 * std::sin(0.31 * i));
  }
  return block;
}

// Runs `stage` on a fresh copy of a loud block each iteration so the banks never
// settle into denormal tails.
template <class Stage>
void RunStage(benchmark::State& state, fw::Engine& engine, Stage stage) {
  const std::vector<float> input = GuitarLikeBlock();
  std::vector<float> work(input);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), work.begin());
    stage(engine, work.data(), kBlock);
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
  const auto samples = static_cast<double>(state.iterations()) * kBlock;
  state.SetItemsProcessed(static_cast<int64_t>(samples));
  // Inverted rates: seconds of CPU per sample (shown as ns) and per second of
  // audio at 44100 (the real-time factor, shown with an SI prefix: 1m = 0.001).
  state.counters["ns_per_sample"] =
      benchmark::Counter(samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["rt_factor_44100"] =
      benchmark::Counter(samples / 44100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FoldBankCascade(benchmark::State& state) {
  auto engine = fw::MakeEngine();  // program start: cascade
  RunStage(state, *engine, [](fw::Engine& e, float* w, int n) { e.tube.FoldBank(w, n); });
}
BENCHMARK(BM_FoldBankCascade);

void BM_FoldBank(benchmark::State& state) {
  auto engine = fw::MakeEngine();
  fw::DesignTubeVoicing2(*engine);
  RunStage(state, *engine, [](fw::Engine& e, float* w, int n) { e.tube.FoldBank(w, n); });
}
BENCHMARK(BM_FoldBank);

void BM_VoiceBank(benchmark::State& state) {
  auto engine = fw::MakeEngine();
  RunStage(state, *engine, [](fw::Engine& e, float* w, int n) { e.tube.VoiceBank(w, n); });
}
BENCHMARK(BM_VoiceBank);

void BM_PreEqualiser(benchmark::State& state) {
  auto engine = fw::MakeEngine();
  RunStage(state, *engine, [](fw::Engine& e, float* w, int n) { e.eq.PreEqualiser(w, n); });
}
BENCHMARK(BM_PreEqualiser);

void BM_PostEqualiser(benchmark::State& state) {
  auto engine = fw::MakeEngine();
  RunStage(state, *engine, [](fw::Engine& e, float* w, int n) { e.eq.PostEqualiser(w, n); });
}
BENCHMARK(BM_PostEqualiser);

void BM_EllipticFilterOrder5(benchmark::State& state) {
  auto engine = fw::MakeEngine();
  engine->elliptic.SelectBrightness(3);
  RunStage(state, *engine, [](fw::Engine& e, float* w, int n) { e.elliptic.Process(w, n); });
}
BENCHMARK(BM_EllipticFilterOrder5);

void BM_EllipticFilterOrder6(benchmark::State& state) {
  auto engine = fw::MakeEngine();
  engine->elliptic.SelectBrightness(4);
  RunStage(state, *engine, [](fw::Engine& e, float* w, int n) { e.elliptic.Process(w, n); });
}
BENCHMARK(BM_EllipticFilterOrder6);

}  // namespace
