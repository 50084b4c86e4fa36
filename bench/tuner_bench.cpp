// The tuner's and meters' cost. On the audio thread: what every block adds (both
// meters, and the tuner's copy of the input with its mute). Off it: pitch tracking
// of a plucked string, as the window's timer runs it. ns per sample and the
// real-time factor (how many times faster than the sound plays).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/tuner/steady_pitch.h"
#include "engine/level_meter.h"
#include "engine/tuner_tap.h"
#include "support/plucked_string.h"

namespace fw {
namespace {

void Report(benchmark::State& state, int rate, std::int64_t samplesPerIteration) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * samplesPerIteration);
  state.counters["ns_per_sample"] =
      benchmark::Counter(static_cast<double>(state.iterations() * samplesPerIteration),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["RTF"] = benchmark::Counter(
      static_cast<double>(state.iterations() * samplesPerIteration) / rate, benchmark::Counter::kIsRate);
}

// One 220-sample block: the input and output meters, and, with the tuner on, the
// copy into the ring and the muted output.
void BM_MetersAndTunerTapPerBlock(benchmark::State& state) {
  const bool tunerOn = state.range(0) != 0;
  constexpr int kBlock = 220;
  LevelMeters meters;
  auto tap = std::make_unique<TunerTap>();
  std::vector<float> dry(kBlock);
  std::vector<std::int16_t> out(kBlock);
  for (int i = 0; i < kBlock; ++i)
    dry[static_cast<std::size_t>(i)] = static_cast<float>((i * 331) % 16000 - 8000);
  for (auto _ : state) {
    meters.input.Take(dry.data(), kBlock, kInputClipLimit);
    if (tunerOn) {
      tap->Write(dry.data(), kBlock);
      std::fill(out.begin(), out.end(), std::int16_t{0});
    }
    meters.output.Take(out.data(), kBlock, kOutputClipLimit);
    benchmark::DoNotOptimize(out.data());
  }
  Report(state, 22050, kBlock);
}

// Pitch tracking of two seconds of a plucked A2, hop by hop.
void BM_PitchTrackingOffTheAudioThread(benchmark::State& state) {
  const int rate = static_cast<int>(state.range(0));
  const std::vector<float> pluck = test::Synthesize({110.0, 0.5, 2.0, 0.0, rate});
  for (auto _ : state) {
    PitchTracker tracker(rate);
    SteadyPitch steady;
    tracker.Feed(pluck.data(), static_cast<int>(pluck.size()),
                 [&](const PitchEstimate& e) { steady.Add(e); });
    benchmark::DoNotOptimize(steady.Shown());
  }
  Report(state, rate, static_cast<std::int64_t>(pluck.size()));
}

BENCHMARK(BM_MetersAndTunerTapPerBlock)->Arg(0)->Arg(1);
BENCHMARK(BM_PitchTrackingOffTheAudioThread)->Arg(22050)->Arg(44100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fw
