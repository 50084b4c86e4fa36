#pragma once
// The effect chain as a library call over plain 16-bit buffers. A host hands it
// samples and gets samples back; the stages run in place on the engine's work
// buffer in the order of the chosen driver. Nothing here knows a device: library
// mode, the DMA modes and ring-0 mode wrap it in adapters of their own (src/audio),
// and fretwerk-cli, benchmarks and plugins call it directly.
//
// Audio thread only, one call at a time per engine; nothing is allocated, locked,
// logged or waited on. The engine's words (src/engine/params.h and the stages')
// are read once per block unless a stage says otherwise.
#include <cstdint>

#include "engine/buffers.h"
#include "engine/engine.h"

namespace fw {

// How the chain runs. Every driver gains its input, mixes the playback file in
// before or after the effects (`WavViaEffects`), taps the record ring and converts
// back to 16 bits rounded to nearest; the stages start alike with the pre
// equaliser (not Realtime), the fixed high-pass, the high pre-equaliser, FVC3, the
// soft distortion, FVC1, the waveshaper and the tube banks, and end with the
// reverb. In between, and at the output, the drivers differ in data only:
// - WaveIn (library mode): fixed section, FVC2, post equaliser, echo, elliptic,
//   second low-pass, flanger. The output is limited to -32000..32000; a sample
//   above the limit sets the overload latch (`OverloadLatch`) and counts as an
//   overload, a sample below 31000 clears it.
// - Direct (DMA-direct and common-buffer modes): post equaliser, FVC2, elliptic,
//   second low-pass, flanger, echo. The output gain is lowered by 0.9 for every
//   sample above the limit.
// - Realtime (ring-0 mode): as Direct without the post equaliser; its block and
//   dithered output are described at kRealtimeBlockSamples.
enum class Driver { WaveIn, Direct, Realtime };

// The longest block the WaveIn and Direct drivers take; longer blocks are cut to it.
inline constexpr int kMaxChainBlock = kDryCapacity;

// The Realtime driver's block, in and out: 256 samples. The input holds 128
// interleaved stereo frames (left and right are summed) when `RealtimeBlockLength`
// is 128, else 256 mono samples. The output holds the same layout with every
// sample on both channels when `CardType` is 1, else 128 stereo frames of the
// first 128 results with the dither table added to each channel.
inline constexpr int kRealtimeBlockSamples = 256;

struct ChainResult {
  // WaveIn: times this block set the overload latch. The host reports each to the
  // window, whose volume control steps down and clears the latch.
  int overloads = 0;
  // Channels of `out`: 2 when the Realtime driver wrote stereo frames, else 1.
  int outputChannels = 1;
};

class Chain {
 public:
  explicit Chain(Engine& engine) noexcept : engine_(engine) {}

  // Runs one block. WaveIn and Direct: n mono samples from `in` to `out`, n limited
  // to 0..kMaxChainBlock. Realtime: n must be kRealtimeBlockSamples (any other n
  // processes nothing). `in` and `out` may be the same buffer.
  ChainResult Process(Driver driver, const std::int16_t* in, std::int16_t* out, int n) noexcept;

 private:
  Engine& engine_;
};

// The Direct driver in place on block[0 .. count), as the DMA modes call it.
void ProcessDirectBlock(Engine& engine, std::int32_t count, std::int16_t* block) noexcept;

}  // namespace fw
