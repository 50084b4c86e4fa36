#pragma once
// Renders through the library-mode chain driver the way live input reaches it, and
// a synthetic riff to render: plucked power chords, palm-muted chugs and a short
// single-note line from a seeded Karplus-Strong string, at 22050 samples per second.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/form1.h"
#include "audio/wave_input.h"
#include "engine/chain.h"

namespace fw::test {

inline constexpr int kRiffRate = 22050;

// One plucked string: a noise burst through a delay line with an averaging loop.
inline void PluckString(std::vector<float>& out, int start, int length, float frequency, float damping,
                        float level, std::uint32_t& seed) {
  const int period = std::max(2, static_cast<int>(std::lround(kRiffRate / frequency)));
  std::vector<float> line(static_cast<std::size_t>(period));
  for (auto& v : line) {
    seed = seed * 1664525u + 1013904223u;
    v = (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f) * level;
  }
  std::size_t at = 0;
  for (int i = 0; i < length && start + i < static_cast<int>(out.size()); ++i) {
    const std::size_t next = (at + 1) % line.size();
    const float v = line[at];
    line[at] = damping * 0.5f * (line[at] + line[next]);
    out[static_cast<std::size_t>(start + i)] += v;
    at = next;
  }
}

inline std::vector<std::int16_t> SyntheticRiff() {
  const int beat = kRiffRate / 4;  // sixteenth notes at 150 bpm, roughly
  std::vector<float> mix(static_cast<std::size_t>(kRiffRate * 3), 0.0f);
  std::uint32_t seed = 12345;
  const auto chord = [&](int at, float root, int length, float damping, float level) {
    PluckString(mix, at, length, root, damping, level, seed);
    PluckString(mix, at + 40, length, root * 1.4983f, damping, level * 0.8f, seed);
    PluckString(mix, at + 80, length, root * 2.0f, damping, level * 0.6f, seed);
  };
  // E5 ring, chugs, G5, A5, then a single-note line.
  chord(0, 82.41f, beat * 4, 0.998f, 5000.0f);
  for (int k = 0; k < 4; ++k) chord(beat * 4 + k * beat / 2, 82.41f, beat / 2, 0.96f, 4000.0f);
  chord(beat * 6, 98.0f, beat * 2, 0.997f, 5000.0f);
  chord(beat * 8, 110.0f, beat * 2, 0.997f, 5000.0f);
  const float line[] = {329.6f, 392.0f, 440.0f, 493.9f, 587.3f, 493.9f, 440.0f, 392.0f};
  for (int k = 0; k < 8; ++k)
    PluckString(mix, beat * 10 + k * beat / 2, beat, line[k], 0.996f, 6000.0f, seed);
  std::vector<std::int16_t> out(mix.size());
  for (std::size_t i = 0; i < mix.size(); ++i) {
    out[i] = static_cast<std::int16_t>(std::clamp(std::lround(mix[i]), -32767L, 32767L));
  }
  return out;
}

// Feeds input through ProcessWaveInBlock in blocks of 220 samples.
inline std::vector<std::int16_t> RenderWaveIn(TForm1& form, const std::vector<std::int16_t>& input) {
  Engine& e = form.engine;
  constexpr int n = WaveInBufferArea::kBufferLength;
  e.params.WaveInBlockLength.store(n);
  e.waveIn.running.store(1);
  WaveInHeader header;
  header.user = 0;
  std::vector<std::int16_t> out;
  out.reserve(input.size());
  for (std::size_t start = 0; start + n <= input.size(); start += n) {
    std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(start), n, e.waveIn.area.samples);
    ProcessWaveInBlock(e, 0, MM_WIM_DATA, 0, &header, 0);
    out.insert(out.end(), e.buffers.waveOut, e.buffers.waveOut + n);
  }
  e.waveIn.running.store(0);
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
