// Cost of the time effects per sample, on blocks of 220 samples as the library mode delivers them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "engine/echo_delay.h"
#include "engine/flanger.h"
#include "engine/reverb.h"

namespace {

constexpr int kBlock = 220;

std::vector<float> Noise() {
  std::mt19937 random(1);
  std::uniform_real_distribution<float> noise(-8000.0f, 8000.0f);
  std::vector<float> block(kBlock);
  for (float& v : block) v = noise(random);
  return block;
}

void ReportPerSample(benchmark::State& state) {
  state.counters["time/sample"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void EchoDelayBlock(benchmark::State& state) {
  auto echo = std::make_unique<fw::Echo>();
  echo->SetTaps(0.45f, 0.4f);
  echo->EchoGain.store(0.6f);
  echo->EchoSweepOn.store(static_cast<std::int32_t>(state.range(0)));
  const std::vector<float> input = Noise();
  std::vector<float> work(kBlock);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), work.begin());
    echo->EchoDelayBlock(work.data(), kBlock, 6500);
    benchmark::DoNotOptimize(work.data());
  }
  ReportPerSample(state);
}
BENCHMARK(EchoDelayBlock)->Arg(0)->Arg(1);

void ReverbCallSequence(benchmark::State& state) {
  auto reverb = std::make_unique<fw::Reverb>();
  reverb->ReverbGain2.store(0.84f);
  reverb->ReverbAllPassGain.store(0.75f);
  reverb->ReverbDelay2.store(240);
  reverb->ReverbBrightness.store(0.7f);
  const std::vector<float> input = Noise();
  std::vector<float> work(kBlock);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), work.begin());
    reverb->Process(work.data(), kBlock);
    benchmark::DoNotOptimize(work.data());
  }
  ReportPerSample(state);
}
BENCHMARK(ReverbCallSequence);

void FlangerBlock(benchmark::State& state) {
  auto flanger = std::make_unique<fw::Flanger>();
  flanger->Reset();
  const std::vector<float> input = Noise();
  std::vector<float> work(kBlock);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), work.begin());
    flanger->FlangerBlock(work.data(), kBlock);
    benchmark::DoNotOptimize(work.data());
  }
  ReportPerSample(state);
}
BENCHMARK(FlangerBlock);

}  // namespace
