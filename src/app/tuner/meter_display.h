#pragma once
// What a level meter shows, read from the engine's meter words by the window's
// timer: the peak since the last read in dBFS, the peak held for a while, and the
// clip indicator, lit for two seconds after a block reached the limit.
// Window thread only; time comes from the window loop's clock.
#include <cstdint>

#include "engine/level_meter.h"

namespace fw {

class MeterDisplay {
 public:
  static constexpr float kFloorDb = -60.0f;
  static constexpr std::int64_t kClipHoldMs = 2000;
  static constexpr std::int64_t kPeakHoldMs = 1500;

  explicit MeterDisplay(LevelMeter& meter) : meter_(meter), clipsSeen_(meter.Clips()) {}

  void Poll(std::int64_t nowMs);

  float PeakDb() const { return peakDb_; }
  float HoldDb() const { return holdDb_; }
  bool ClipLit() const { return clipLit_; }

 private:
  LevelMeter& meter_;
  std::int32_t clipsSeen_;
  std::int64_t clipUntilMs_ = 0;
  std::int64_t holdUntilMs_ = 0;
  float peakDb_ = kFloorDb;
  float holdDb_ = kFloorDb;
  bool clipLit_ = false;
};

}  // namespace fw
