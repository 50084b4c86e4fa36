// Cost of one block through each chain driver with every switch on, in ns per
// sample, and the real-time factor: how many times faster than the sound plays.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "audio/chain_io.h"
#include "audio/realtime_chain.h"
#include "audio/virtual/recording_output_library.h"
#include "audio/wave_in_chain.h"
#include "audio/wave_input.h"
#include "core/denormals.h"
#include "engine/chain.h"
#include "engine/engine.h"
#include "support/stage_setup.h"

namespace fw {
namespace {

class NullWaveInput final : public WaveInput {
 public:
  std::int32_t AddBuffer(WaveInHeader*, std::uint32_t) noexcept override { return 0; }
};

void EverySwitchOn(Engine& e, int rate) {
  test::DesignStages(e);
  EngineParams& p = e.params;
  test::SetEveryStage(p, 1);
  e.echo.EchoDelay.store(6500);
  e.reverb.ReverbDelay2.store(1500);
  p.EngineSampleRate.store(rate);
  p.RealtimeBlockLength.store(rate == 44100 ? 256 : 128);
}

// A guitar-like test signal: a decaying harmonic tone, loud enough to drive the distortions.
std::vector<std::int16_t> TestSignal(int n) {
  std::vector<std::int16_t> s(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((i * 331) % 16000 - 8000);
  }
  return s;
}

// CPU time of this thread: the machine may be shared, and the chain runs on one thread.
double ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// ns per sample from the CPU time of the timed loop, and RTF = (1e9 / rate) / ns per sample.
void Report(benchmark::State& state, int rate, int samplesPerBlock, double cpuNs) {
  const auto samples = static_cast<std::int64_t>(state.iterations()) * samplesPerBlock;
  state.SetItemsProcessed(samples);
  if (samples == 0) return;
  const double nsPerSample = cpuNs / static_cast<double>(samples);
  state.counters["ns_per_sample"] = nsPerSample;
  state.counters["RTF"] = (1e9 / rate) / nsPerSample;
}

void BM_WaveInBlock(benchmark::State& state) {
  const int rate = static_cast<int>(state.range(0));
  FlushDenormalsOnThisThread();
  auto engine = MakeEngine();
  NullWaveInput device;
  RecordingOutputLibrary output;  // no room reserved: keeps nothing, allocates nothing
  EverySwitchOn(*engine, rate);
  auto io = std::make_unique<ChainIo>();
  io->waveIn.device = &device;
  io->waveIn.running.store(1);
  io->output = &output;
  const auto input = TestSignal(220);
  std::copy(input.begin(), input.end(), io->waveIn.area.samples);
  WaveInHeader& header = io->waveIn.area.headers[0];
  const double start = ThreadCpuNs();
  for (auto _ : state) ProcessWaveInBlock(*engine, *io, 0, MM_WIM_DATA, 0, &header, 0);
  Report(state, rate, 220, ThreadCpuNs() - start);
}

// With a second argument of 1 the timed blocks are silence after two seconds of the
// signal: the decaying tails of filters, echo and reverb, which must cost what the
// signal costs (flush-to-zero keeps denormals out). With 2 the blocks are recorded.
void BM_DirectBlock(benchmark::State& state) {
  const int rate = static_cast<int>(state.range(0));
  const bool silenceAfterSignal = state.range(1) == 1;
  const bool recording = state.range(1) == 2;
  FlushDenormalsOnThisThread();
  auto engine = MakeEngine();
  EverySwitchOn(*engine, rate);
  EngineParams& p = engine->params;
  constexpr int kRingSize = 1 << 20;
  std::unique_ptr<std::atomic<std::int16_t>[]> ring;
  if (recording) {
    ring.reset(new std::atomic<std::int16_t>[kRingSize + RecordRing::kSpare]());
    engine->record.samples.store(ring.get());
    p.RecordRingSize.store(kRingSize);
    p.RecordActive.store(-1);
  }
  const int n = rate == 44100 ? 368 : 184;
  auto input = TestSignal(n);
  std::vector<std::int16_t> block(input);
  if (silenceAfterSignal) {
    for (int b = 0; b < 2 * rate / n; ++b) {
      std::copy(input.begin(), input.end(), block.begin());
      ProcessDirectBlock(*engine, n, block.data());
    }
    std::fill(input.begin(), input.end(), std::int16_t{0});
  }
  const double start = ThreadCpuNs();
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), block.begin());
    ProcessDirectBlock(*engine, n, block.data());
    benchmark::DoNotOptimize(block.data());
    if (p.RecordFull.load() != 0) {  // what the recorder's flush does, in short
      p.RecordFull.store(0);
      p.RecordIndex.store(0);
    }
  }
  Report(state, rate, n, ThreadCpuNs() - start);
  engine->record.samples.store(nullptr);
}

void BM_RealtimeBlock(benchmark::State& state) {
  const int rate = static_cast<int>(state.range(0));
  FlushDenormalsOnThisThread();
  auto engine = MakeEngine();
  EverySwitchOn(*engine, rate);
  engine->params.CardType.store(2);
  auto io = std::make_unique<ChainIo>();
  const auto input = TestSignal(256);
  // 128 stereo frames at 22050, 256 mono samples at 44100: input samples per block.
  const int n = engine->params.RealtimeBlockLength.load();
  const double start = ThreadCpuNs();
  for (auto _ : state) {
    for (int i = 0; i < 256; ++i) io->realtime.SetSample(i, input[static_cast<std::size_t>(i)]);
    RealtimeProcessSharedBlock(*engine, io->realtime);
  }
  Report(state, rate, n, ThreadCpuNs() - start);
}

BENCHMARK(BM_WaveInBlock)->Arg(22050)->Arg(44100);
BENCHMARK(BM_DirectBlock)->ArgsProduct({{22050, 44100}, {0, 1, 2}});
BENCHMARK(BM_RealtimeBlock)->Arg(22050)->Arg(44100);

}  // namespace
}  // namespace fw
