#pragma once
// A synthetic plucked string for the tuner's tests: decaying harmonics (each one
// faster than the one below it) at a known frequency, after a stretch of silence.
#include <cmath>
#include <numbers>
#include <vector>

namespace fw::test {

struct PluckedString {
  double hz;
  double secondHarmonic = 0.5;  // its amplitude; the fundamental's is 1
  double seconds = 2.5;
  double silenceBefore = 0.25;
  int rate = 22050;
};

inline std::vector<float> Synthesize(const PluckedString& s) {
  const auto silence = static_cast<std::size_t>(s.silenceBefore * s.rate);
  std::vector<float> samples(silence + static_cast<std::size_t>(s.seconds * s.rate), 0.0f);
  for (int k = 1; k <= 30 && k * s.hz < 0.45 * s.rate; ++k) {
    const double amplitude = 6000.0 * (k == 2 ? s.secondHarmonic : 1.0 / k);
    const double decay = 1.5 / (1.0 + 0.5 * (k - 1));
    for (std::size_t i = silence; i < samples.size(); ++i) {
      const double t = static_cast<double>(i - silence) / s.rate;
      samples[i] += static_cast<float>(amplitude * std::exp(-t / decay) *
                                       std::sin(2.0 * std::numbers::pi * k * s.hz * t + 0.3 * k));
    }
  }
  return samples;
}

}  // namespace fw::test
