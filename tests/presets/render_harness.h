#pragma once
// Renders through the library-mode chain driver the way live input reaches it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/form1.h"
#include "audio/chain_io.h"
#include "audio/wave_in_chain.h"
#include "audio/wave_input.h"
#include "engine/chain.h"
#include "files/riff_synth.h"

namespace fw::test {

// The bundled riff at the engine rate.
inline std::vector<std::int16_t> BundledRiff() { return SynthesiseRiff(22050); }

// Feeds input through ProcessWaveInBlock in blocks of 220 samples.
inline std::vector<std::int16_t> RenderWaveIn(TForm1& form, const std::vector<std::int16_t>& input) {
  Engine& e = form.engine;
  ChainIo& io = form.io;
  constexpr int n = WaveInBufferArea::kBufferLength;
  e.params.WaveInBlockLength.store(n);
  io.waveIn.running.store(1);
  WaveInHeader header;
  header.user = 0;
  std::vector<std::int16_t> out;
  out.reserve(input.size());
  for (std::size_t start = 0; start + n <= input.size(); start += n) {
    std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(start), n, io.waveIn.area.samples);
    ProcessWaveInBlock(e, io, 0, MM_WIM_DATA, 0, &header, 0);
    out.insert(out.end(), e.buffers.waveOut, e.buffers.waveOut + n);
  }
  io.waveIn.running.store(0);
  return out;
}

struct BlockLevels {
  double rms;
  int peak;
};

// Per 220-sample block: RMS and peak magnitude.
inline std::vector<BlockLevels> LevelsPerBlock(const std::vector<std::int16_t>& samples) {
  std::vector<BlockLevels> levels;
  constexpr std::size_t n = 220;
  for (std::size_t start = 0; start + n <= samples.size(); start += n) {
    double sum = 0.0;
    int peak = 0;
    for (std::size_t i = start; i < start + n; ++i) {
      sum += static_cast<double>(samples[i]) * samples[i];
      peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    }
    levels.push_back({std::sqrt(sum / static_cast<double>(n)), peak});
  }
  return levels;
}

}  // namespace fw::test
