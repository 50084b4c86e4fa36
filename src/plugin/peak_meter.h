#pragma once
// A meter for the host: the largest magnitude of one run() call, in dBFS, with
// silence at the floor. Audio thread only.
#include "engine/peak_level.h"
#include "plugin/port_layout.h"

namespace fw::plugin {

class PeakMeter {
 public:
  void Start() noexcept { peak_ = 0.0f; }
  void Take(const float* samples, int n) noexcept { peak_ = BlockPeak(samples, n, peak_); }
  float Decibels() const noexcept { return PeakDecibels(peak_, 1.0f, kMeterFloorDb, kMeterCeilingDb); }

 private:
  float peak_ = 0.0f;
};

}  // namespace fw::plugin
