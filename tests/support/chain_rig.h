#pragma once
// A TForm1 with an engine wired for driving the chain directly: a recording output
// library, a wave-input double, a record ring with canaries past its end, and
// helpers that run one block through each driver.
//
// Values the limiters and taps see are set exactly through the file mix-in after
// the effects: with a silent live input the stages (linear filters in their rest
// state) add nothing, so the output conversion sees file sample x WavFileGain.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/chain_io.h"
#include "audio/realtime_chain.h"
#include "audio/realtime_shared.h"
#include "audio/virtual/recording_output_library.h"
#include "audio/wave_in_chain.h"
#include "engine/chain.h"
#include "support/engine_fixture.h"
#include "support/fake_wave_input.h"
#include "support/stage_setup.h"

namespace fw::test {

struct ChainRig {
  static constexpr int kCanaries = 64;
  static constexpr std::int16_t kCanary = 0x5A5A;

  RecordingOutputLibrary output{1u << 20};
  FakeWaveInput waveInput;
  FormFixture fixture{Platform{&output, nullptr, nullptr, nullptr}};
  Engine& engine = *fixture.engine;
  ChainIo& io = fixture.form->io;
  EngineParams& p = engine.params;
  TForm1& form = *fixture.form;
  std::unique_ptr<std::atomic<std::int16_t>[]> ring;
  int ringSize = 0;

  ChainRig() {
    io.waveIn.device = &waveInput;
    io.waveIn.running.store(1);
  }
  ~ChainRig() { engine.record.samples.store(nullptr); }

  // Every chain switch off: only the always-on stages act.
  void AllSwitchesOff() { SetEveryStage(p, 0); }
  void AllSwitchesOn() { SetEveryStage(p, 1); }

  // The file buffer from offset 0 on, mixed in after the effects at WavFileGain.
  void SetFile(const std::vector<std::int16_t>& samples, float gain = 1.0f) {
    for (std::size_t i = 0; i < samples.size(); ++i) engine.file.Set(static_cast<int>(i), samples[i]);
    p.WavFileGain.store(gain);
    p.FileBlockCounter.store(0);
  }

  // A record ring of size + 50 samples (plus canaries past its end), recording on.
  void StartRecording(int size) {
    ringSize = size;
    const int total = size + RecordRing::kSpare + kCanaries;
    ring.reset(new std::atomic<std::int16_t>[static_cast<std::size_t>(total)]);
    for (int i = 0; i < total; ++i) ring[static_cast<std::size_t>(i)].store(kCanary);
    engine.record.samples.store(ring.get());
    p.RecordRingSize.store(size);
    p.RecordIndex.store(0);
    p.RecordFull.store(0);
    p.RecordActive.store(1);
  }
  std::int16_t Ring(int i) const { return ring[static_cast<std::size_t>(i)].load(); }

  // One wave-in block of input.size() samples from buffer b; returns what was played.
  std::vector<std::int16_t> WaveIn(const std::vector<std::int16_t>& input, int b = 0,
                                   std::uint32_t message = MM_WIM_DATA) {
    const int n = static_cast<int>(input.size());
    p.WaveInBlockLength.store(n);
    output.blockSize = n;
    std::copy(input.begin(), input.end(), io.waveIn.area.samples + b * n);
    WaveInHeader& header = io.waveIn.area.headers[b];
    header.user = static_cast<std::uintptr_t>(b);
    const std::size_t before = output.played.size();
    ProcessWaveInBlock(engine, io, 0, message, 0, &header, 0);
    return {output.played.begin() + static_cast<std::ptrdiff_t>(before), output.played.end()};
  }

  std::vector<std::int16_t> Direct(std::vector<std::int16_t> block) {
    ProcessDirectBlock(engine, static_cast<std::int32_t>(block.size()), block.data());
    return block;
  }

  // Realtime block: 128 stereo frames (left, right) or 256 mono samples, as
  // RealtimeBlockLength says; returns all 256 values of the shared block after.
  std::vector<std::int16_t> Realtime(const std::vector<std::int16_t>& shared) {
    for (int i = 0; i < RealtimeShared::kBlockSamples; ++i) {
      io.realtime.SetSample(i, i < static_cast<int>(shared.size()) ? shared[static_cast<std::size_t>(i)] : 0);
    }
    io.realtime.ready.store(1);
    RealtimeProcessSharedBlock(engine, io.realtime);
    std::vector<std::int16_t> out(RealtimeShared::kBlockSamples);
    for (int i = 0; i < RealtimeShared::kBlockSamples; ++i)
      out[static_cast<std::size_t>(i)] = io.realtime.Sample(i);
    return out;
  }

  // Posted messages reach the window thread.
  void Pump() { fixture.loop.PumpOnce(); }
  int Volume() const { return form.Bar("ScrollBar_OutPut_Volume").Position(); }
};

inline std::vector<std::int16_t> Silence(int n) {
  return std::vector<std::int16_t>(static_cast<std::size_t>(n), 0);
}

}  // namespace fw::test
