#pragma once
// Measures a running stage's gain at one frequency: feed a sine in blocks, let
// the transient die, then project one second of output onto sine and cosine.
#include <cmath>
#include <numbers>
#include <vector>

namespace fw::test {

// process(buffer, n) runs the stage in place. Frequencies are whole hertz, so one
// second of output holds a whole number of periods and the projection is exact.
template <class Process>
double MeasureGain(Process&& process, double frequency, double fs, double settleSeconds = 1.0,
                   double amplitude = 1000.0) {
  constexpr int kBlock = 220;
  const auto settle = static_cast<long>(settleSeconds * fs);
  const auto measure = static_cast<long>(fs);
  const double w = 2.0 * std::numbers::pi * frequency / fs;
  std::vector<float> block(kBlock);
  double sinSum = 0.0;
  double cosSum = 0.0;
  for (long start = 0; start < settle + measure; start += kBlock) {
    for (int i = 0; i < kBlock; ++i)
      block[static_cast<size_t>(i)] =
          static_cast<float>(amplitude * std::sin(w * static_cast<double>(start + i)));
    process(block.data(), kBlock);
    for (int i = 0; i < kBlock; ++i) {
      const long t = start + i;
      if (t < settle || t >= settle + measure) continue;
      const double phase = w * static_cast<double>(t);
      sinSum += block[static_cast<size_t>(i)] * std::sin(phase);
      cosSum += block[static_cast<size_t>(i)] * std::cos(phase);
    }
  }
  const double scale = 2.0 / static_cast<double>(measure);
  return std::hypot(sinSum * scale, cosSum * scale) / amplitude;
}

inline double Decibels(double gain) { return 20.0 * std::log10(gain); }

}  // namespace fw::test
