#pragma once
// A meter for the host: the largest magnitude of one run() call, in dBFS, with
// silence at the floor. Audio thread only.
#include <algorithm>
#include <cmath>

#include "plugin/port_layout.h"

namespace fw::plugin {

class PeakMeter {
 public:
  void Start() noexcept { peak_ = 0.0f; }
  void Take(const float* samples, int n) noexcept {
    for (int i = 0; i < n; ++i) peak_ = std::max(peak_, std::fabs(samples[i]));
  }
  float Decibels() const noexcept {
    if (!(peak_ > 0.0f)) return kMeterFloorDb;
    return std::clamp(20.0f * std::log10(peak_), kMeterFloorDb, kMeterCeilingDb);
  }

 private:
  float peak_ = 0.0f;
};

}  // namespace fw::plugin
