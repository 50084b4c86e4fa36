#include "model/test_signals.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace model {

namespace {
int16_t Clip16(double v) { return static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L)); }
}  // namespace

Samples PluckedString(int length, double frequency, double sampleRate, int amplitude, int period,
                      uint32_t seed) {
  const auto delay = static_cast<size_t>(std::max(2.0, std::round(sampleRate / frequency)));
  std::vector<double> line(delay, 0.0);
  uint32_t state = seed;
  auto noise = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
  };
  Samples out(static_cast<size_t>(length));
  size_t p = 0;
  for (int i = 0; i < length; ++i) {
    if (i % period == 0)
      for (double& v : line) v = noise() * amplitude;
    const size_t next = (p + 1) % delay;
    const double v = line[p];
    line[p] = 0.497 * (line[p] + line[next]);
    p = next;
    out[static_cast<size_t>(i)] = Clip16(v);
  }
  return out;
}

Samples Sine(int length, double frequency, double sampleRate, int amplitude) {
  Samples out(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i)
    out[static_cast<size_t>(i)] =
        Clip16(amplitude * std::sin(2.0 * std::numbers::pi * frequency * i / sampleRate));
  return out;
}

Samples Impulses(int length, int spacing, int height) {
  Samples out(static_cast<size_t>(length), 0);
  for (int i = 0; i < length; i += spacing) out[static_cast<size_t>(i)] = static_cast<int16_t>(height);
  return out;
}

Samples LoudClipped(int length, double frequency, double sampleRate) {
  Samples out(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i)
    out[static_cast<size_t>(i)] =
        Clip16(90000.0 * std::sin(2.0 * std::numbers::pi * frequency * i / sampleRate));
  return out;
}

Samples Concatenate(const std::vector<Samples>& parts) {
  Samples out;
  for (const Samples& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

}  // namespace model
