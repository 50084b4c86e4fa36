#include "engine/chain.h"

#include <algorithm>
#include <atomic>

#include "core/rounding.h"
#include "engine/back_stages.h"
#include "engine/front_stages.h"
#include "engine/stage_state_word.h"

namespace fw {
namespace {

// File block counter constants: wrap value, first mark (request 2), second mark (request 1).
struct FileCounterMarks {
  std::int32_t wrap;
  std::int32_t requestSecondHalf;
  std::int32_t requestFirstHalf;
};

FileCounterMarks CounterMarks(Driver driver, std::int32_t realtimeBlockLength) noexcept {
  switch (driver) {
    case Driver::WaveIn:
      return {100, 10, 60};
    case Driver::Direct:
      return realtimeBlockLength == 128 ? FileCounterMarks{120, 10, 70} : FileCounterMarks{60, 5, 35};
    case Driver::Realtime:
      return realtimeBlockLength == 128 ? FileCounterMarks{160, 10, 90} : FileCounterMarks{80, 5, 45};
  }
  return {100, 10, 60};
}

// The dry copy and the gained work copy of the 16-bit input.
void ConvertInput(Engine& e, const std::int16_t* input, int n) noexcept {
  const float inputGain = e.params.InputGain.load();
  const float liveFactor = e.params.LiveInputFactor.load();
  float* work = e.buffers.work;
  float* dry = e.buffers.dry;
  for (int i = 0; i < n; ++i) dry[i] = static_cast<float>(input[i]);
  for (int i = 0; i < n; ++i) work[i] = static_cast<float>(input[i]) * inputGain * liveFactor;
}

// A counter the window thread has set out of range reads silence, never outside the buffer.
std::int16_t FileSample(const FileBuffer& file, std::int64_t index) noexcept {
  if (index < 0 || index >= FileBuffer::kCapacity) return 0;
  return file.At(static_cast<int>(index));
}

// Adds the file's next block, then advances the block counter.
void MixInFile(Engine& e, int n, Driver driver) noexcept {
  EngineParams& p = e.params;
  const float fileGain = p.WavFileGain.load();
  const std::int32_t k = p.FileBlockCounter.load();
  const std::int64_t offset = static_cast<std::int64_t>(k) * n;
  float* work = e.buffers.work;
  for (int i = 0; i < n; ++i) {
    work[i] = static_cast<float>(FileSample(e.file, offset + i)) * fileGain + work[i];
  }

  const FileCounterMarks marks = CounterMarks(driver, p.RealtimeBlockLength.load());
  std::int32_t counter = k + 1;
  if (counter >= marks.wrap) counter = 0;
  p.FileBlockCounter.store(counter);
  if (counter == marks.requestSecondHalf) p.FileRefillRequest.store(2);
  if (counter == marks.requestFirstHalf) p.FileRefillRequest.store(1);
}

// The waveshaper, through the low-frequency boost when it is on.
void WaveshaperWithLowBoost(Engine& e, int n) noexcept {
  float* work = e.buffers.work;
  if (e.params.LowBoostOn.load() == 1) {
    e.lowBoost.Process(work, n, e.distortion);
  } else {
    e.distortion.Waveshaper(work, n);
  }
}

// The effect stages, each in its driver's own order.
void RunStages(Engine& e, int n, Driver driver) noexcept {
  EngineParams& p = e.params;
  float* work = e.buffers.work;
  RunFrontStages(e, n, driver != Driver::Realtime);
  if (p.DistortionType.load() > 0) WaveshaperWithLowBoost(e, n);
  if (p.TubeOn.load() == 1) e.tube.FoldThenVoice(work, n);

  RunBackStages(e, work, n, driver);
}

bool RecordTapOpen(const EngineParams& p) noexcept {
  return p.RecordRingSize.load() > 100000 && p.RecordFull.load() == 0 && p.RecordActive.load() != 0;
}

// Keeps the ring's guard zone, positions size-5000 .. size, at zero after every tap:
// the whole zone the first time a ring is seen, afterwards what the block wrote into it.
void ClearGuardZone(RecordRing& shared, std::atomic<std::int16_t>* ring, std::int32_t size,
                    std::int32_t wroteFrom, std::int32_t wroteTo) noexcept {
  const std::int32_t zone = size - RecordRing::kGuardZone;
  std::int32_t from = std::max(wroteFrom, zone);
  std::int32_t to = wroteTo;
  if (shared.zoneClearedRing.load(std::memory_order_relaxed) != ring ||
      shared.zoneClearedSize.load(std::memory_order_relaxed) != size) {
    from = zone;
    to = size + 1;
    shared.zoneClearedRing.store(ring, std::memory_order_relaxed);
    shared.zoneClearedSize.store(size, std::memory_order_relaxed);
  }
  for (std::int32_t j = from; j < to; ++j) ring[j].store(0, std::memory_order_relaxed);
}

// Moves the record index past the n samples a tap wrote at `at`: near the end the ring
// is flagged full, at the end the index rewinds.
std::int32_t AdvanceRecordIndex(EngineParams& p, std::int32_t size, std::int32_t at, int n) noexcept {
  std::int64_t index = static_cast<std::int64_t>(at) + n;
  if (index >= size - RecordRing::kGuardZone) p.RecordFull.store(3);
  if (index >= size) index = 0;
  p.RecordIndex.store(static_cast<std::int32_t>(index));
  return static_cast<std::int32_t>(index);
}

// Runs store(ring, at) and moves the index while the recorder lets taps into the
// ring. The words are read once, after the pointer: the recorder resizes and rewinds
// the ring only while it is closed, and the bound keeps every write inside it.
template <class Store>
void TapRecordRing(Engine& e, int n, Store store) noexcept {
  EngineParams& p = e.params;
  if (!RecordTapOpen(p)) return;
  std::atomic<std::int16_t>* ring = e.record.EnterTap();
  const std::int32_t size = p.RecordRingSize.load();
  const std::int32_t at = p.RecordIndex.load();
  if (ring != nullptr && RecordTapOpen(p) && size > 100000) {
    // A stray index writes nothing, but the index still moves: the ring is
    // flagged full and rewound instead of recording stalling for good.
    const bool inside = at >= 0 && at <= size - n;
    if (inside) store(ring, at);
    ClearGuardZone(e.record, ring, size, inside ? at : 0, inside ? at + n : 0);
    const std::int32_t index = AdvanceRecordIndex(p, size, at, n);
    e.record.written.store(index, std::memory_order_release);
  }
  e.record.LeaveTap();
}

// Record tap computing v from the dry or the processed signal.
// gain: OutputGain for taps before the output gain is applied, 1 after it.
void RecordTap(Engine& e, int n, bool gainAlreadyApplied) noexcept {
  TapRecordRing(e, n, [&](std::atomic<std::int16_t>* ring, std::int32_t at) {
    const bool clean = e.params.RecordClean.load() == 1;
    const float gain = e.params.OutputGain.load();
    const float* source = clean ? e.buffers.dry : e.buffers.work;
    if (clean || gainAlreadyApplied) {
      for (int i = 0; i < n; ++i) ring[at + i].store(ClampRound16(source[i]), std::memory_order_relaxed);
    } else {
      for (int i = 0; i < n; ++i)
        ring[at + i].store(ClampRound16(source[i] * gain), std::memory_order_relaxed);
    }
  });
}

// Record tap B of the direct driver: the finished, limited 16-bit block.
void RecordTapCopy(Engine& e, const std::int16_t* block, int n) noexcept {
  TapRecordRing(e, n, [&](std::atomic<std::int16_t>* ring, std::int32_t at) {
    for (int i = 0; i < n; ++i) ring[at + i].store(block[i], std::memory_order_relaxed);
  });
}

// The two window check boxes, read once per block: a click between two reads
// could otherwise mix the file twice or not at all, or tap the record ring twice.
struct BlockSwitches {
  bool wavViaEffects;
  bool writeWavLive;
};

BlockSwitches ReadSwitches(const EngineParams& p) noexcept {
  return {p.WavViaEffects.load() != 0, p.WriteWavLive.load() != 0};
}

// What every driver runs between converting its input and writing its output: the
// file mix-in (before or after the effects), the effect stages and the recording tap.
void RunPipelineMiddle(Engine& e, int n, Driver driver, BlockSwitches switches) noexcept {
  if (switches.wavViaEffects) MixInFile(e, n, driver);
  RunStages(e, n, driver);
  if (!switches.writeWavLive) RecordTap(e, n, false);
  if (!switches.wavViaEffects) MixInFile(e, n, driver);
}

int LimitBlockLength(std::int32_t n) noexcept { return std::clamp<std::int32_t>(n, 0, kMaxChainBlock); }

// The WaveIn driver's output: gain, the overload latch, clamp and round. The latch
// is walked in a register and written back unless the window cleared it meanwhile.
int LimitWithOverloadLatch(Engine& e, std::int16_t* out, int n) noexcept {
  EngineParams& p = e.params;
  const float gain = p.OutputGain.load();
  const std::int32_t latchAtStart = p.OverloadLatch.load();
  std::int32_t latch = latchAtStart;
  int overloads = 0;
  for (int i = 0; i < n; ++i) {
    const float v = e.buffers.work[i] * gain;
    if (v > kOutputLimit && latch == 0) {
      latch = 1;
      ++overloads;
    }
    if (v < 31000.0f) latch = 0;
    out[i] = ClampRound16(v);
  }
  if (latch != latchAtStart) StoreUnlessRewritten(p.OverloadLatch, latchAtStart, latch);
  return overloads;
}

ChainResult ProcessWaveIn(Engine& e, const std::int16_t* in, std::int16_t* out, int n) noexcept {
  const BlockSwitches switches = ReadSwitches(e.params);
  ConvertInput(e, in, n);
  RunPipelineMiddle(e, n, Driver::WaveIn, switches);
  const int overloads = LimitWithOverloadLatch(e, out, n);
  if (switches.writeWavLive) RecordTap(e, n, false);
  return {overloads, 1};
}

ChainResult ProcessDirect(Engine& e, const std::int16_t* in, std::int16_t* out, int n) noexcept {
  EngineParams& p = e.params;
  const BlockSwitches switches = ReadSwitches(p);
  ConvertInput(e, in, n);
  RunPipelineMiddle(e, n, Driver::Direct, switches);

  // The limiter lowers OutputGain by 0.9 per sample above the limit, in a register;
  // a volume move from the window during the block stands over the block's result.
  const bool clean = p.RecordClean.load() == 1;
  const float gainAtStart = p.OutputGain.load();
  float gain = gainAtStart;
  if (clean) {
    for (int i = 0; i < n; ++i) {
      const float v = e.buffers.dry[i];
      if (v > kOutputLimit) gain *= 0.9f;
      out[i] = ClampRound16(v);
    }
  } else {
    for (int i = 0; i < n; ++i) {
      const float v = e.buffers.work[i] * gain;
      if (v > kOutputLimit) gain *= 0.9f;
      out[i] = ClampRound16(v);
    }
  }
  if (gain != gainAtStart) StoreUnlessRewritten(p.OutputGain, gainAtStart, gain);

  if (switches.writeWavLive) RecordTapCopy(e, out, n);
  return {0, 1};
}

// The Realtime driver's input: stereo frames summed, or mono samples; gained.
int ConvertRealtimeInput(Engine& e, const std::int16_t* in, bool stereoBlock) noexcept {
  const int n = stereoBlock ? 128 : 256;
  float* work = e.buffers.work;
  float* dry = e.buffers.dry;
  if (stereoBlock) {
    for (int i = 0; i < 128; ++i) work[i] = static_cast<float>(in[2 * i] + in[2 * i + 1]);
  } else {
    for (int i = 0; i < 256; ++i) work[i] = static_cast<float>(in[i]);
  }
  for (int i = 0; i < n; ++i) dry[i] = work[i];
  const float inputFactor = e.params.InputGain.load() * e.params.LiveInputFactor.load();
  for (int i = 0; i < n; ++i) work[i] *= inputFactor;
  return n;
}

// CardType 1: every result on both channels of a stereo block, or the mono block.
void WriteRealtimeUndithered(const float* work, std::int16_t* out, int n, bool stereoBlock) noexcept {
  for (int i = 0; i < n; ++i) {
    const auto s = static_cast<std::int16_t>(ClampInt(RoundToInt(work[i]), -32000, 32000));
    if (stereoBlock) {
      out[2 * i] = s;
      out[2 * i + 1] = s;
    } else {
      out[i] = s;
    }
  }
}

// Any other card type: 128 stereo frames, each channel with its own dither value.
void WriteRealtimeDithered(const float* work, DitherTable& dither, std::int16_t* out) noexcept {
  for (int i = 0; i < 128; ++i) {
    const std::int32_t rounded = RoundToInt(work[i]);
    const std::int32_t left = rounded + dither.values[dither.index++].load(std::memory_order_relaxed);
    const std::int32_t right = rounded + dither.values[dither.index++].load(std::memory_order_relaxed);
    out[2 * i] = static_cast<std::int16_t>(ClampInt(left, -32000, 32000));
    out[2 * i + 1] = static_cast<std::int16_t>(ClampInt(right, -32000, 32000));
  }
}

ChainResult ProcessRealtime(Engine& e, const std::int16_t* in, std::int16_t* out) noexcept {
  EngineParams& p = e.params;
  const bool stereoBlock = p.RealtimeBlockLength.load() == 128;
  const BlockSwitches switches = ReadSwitches(p);
  const int n = ConvertRealtimeInput(e, in, stereoBlock);

  RunPipelineMiddle(e, n, Driver::Realtime, switches);

  float* work = e.buffers.work;
  const float gain = p.OutputGain.load();
  for (int i = 0; i < n; ++i) work[i] = work[i] * gain;
  if (switches.writeWavLive) RecordTap(e, n, true);

  if (p.CardType.load() == 1) {
    WriteRealtimeUndithered(work, out, n, stereoBlock);
    return {0, stereoBlock ? 2 : 1};
  }
  WriteRealtimeDithered(work, e.dither, out);
  return {0, 2};
}

// What the window shows of a block: the input's level and its copy for the tuner,
// the tuner's mute, then the level of what goes out.
void Observe(Engine& e, int inputCount, std::int16_t* out, int outputCount) noexcept {
  e.meters.input.Take(e.buffers.dry, inputCount, kInputClipLimit);
  if (e.tuner.On.load() == 1) {
    e.tuner.Write(e.buffers.dry, inputCount);
    if (e.tuner.MutesOutput.load() == 1) std::fill(out, out + outputCount, std::int16_t{0});
  }
  e.meters.output.Take(out, outputCount, kOutputClipLimit);
}

}  // namespace

ChainResult Chain::Process(Driver driver, const std::int16_t* in, std::int16_t* out, int n) noexcept {
  if (in == nullptr || out == nullptr) return {};
  ChainResult result;
  switch (driver) {
    case Driver::WaveIn:
      n = LimitBlockLength(n);
      result = ProcessWaveIn(engine_, in, out, n);
      Observe(engine_, n, out, n);
      return result;
    case Driver::Direct:
      n = LimitBlockLength(n);
      result = ProcessDirect(engine_, in, out, n);
      Observe(engine_, n, out, n);
      return result;
    case Driver::Realtime:
      if (n != kRealtimeBlockSamples) return {};
      result = ProcessRealtime(engine_, in, out);
      // A stereo input block holds 128 frames, summed into 128 dry samples.
      Observe(engine_, engine_.params.RealtimeBlockLength.load() == 128 ? 128 : 256, out,
              kRealtimeBlockSamples);
      return result;
  }
  return {};
}

void ProcessDirectBlock(Engine& engine, std::int32_t count, std::int16_t* block) noexcept {
  Chain(engine).Process(Driver::Direct, block, block, count);
}

}  // namespace fw
