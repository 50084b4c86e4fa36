#pragma once
// Short synthetic guitar-like inputs for the render comparisons: plucked strings,
// sines, impulses and loud clipped passages, deterministic for a given seed.
#include <cstdint>
#include <vector>

namespace model {

using Samples = std::vector<int16_t>;

// A Karplus-Strong string: a burst of noise circulating in a delay line with a
// two-point average, re-plucked every `period` samples.
Samples PluckedString(int length, double frequency, double sampleRate, int amplitude, int period,
                      uint32_t seed);
Samples Sine(int length, double frequency, double sampleRate, int amplitude);
// Single-sample impulses of the given height every `spacing` samples.
Samples Impulses(int length, int spacing, int height);
// A sine driven far past full scale and clipped at the 16-bit limits.
Samples LoudClipped(int length, double frequency, double sampleRate);
Samples Concatenate(const std::vector<Samples>& parts);

}  // namespace model
