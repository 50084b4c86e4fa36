#pragma once
// Peak arithmetic shared by the meters: the largest magnitude of a block, and a
// peak in dBFS against a full-scale value, with silence at a floor.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace fw {

inline float BlockPeak(const float* samples, int n, float peak) noexcept {
  for (int i = 0; i < n; ++i) peak = std::max(peak, std::fabs(samples[i]));
  return peak;
}

inline float BlockPeak(const std::int16_t* samples, int n, float peak) noexcept {
  int largest = 0;
  for (int i = 0; i < n; ++i) largest = std::max(largest, std::abs(static_cast<int>(samples[i])));
  return std::max(peak, static_cast<float>(largest));
}

inline float PeakDecibels(float peak, float fullScale, float floorDb, float ceilingDb) noexcept {
  if (!(peak > 0.0f)) return floorDb;
  return std::clamp(20.0f * std::log10(peak / fullScale), floorDb, ceilingDb);
}

}  // namespace fw
