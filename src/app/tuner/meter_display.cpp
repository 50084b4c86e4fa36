#include "app/tuner/meter_display.h"

namespace fw {

void MeterDisplay::Poll(std::int64_t nowMs) {
  peakDb_ = PeakDecibels(meter_.TakePeak(), kMeterFullScale, kFloorDb, 0.0f);
  if (peakDb_ >= holdDb_ || nowMs >= holdUntilMs_) {
    holdDb_ = peakDb_;
    holdUntilMs_ = nowMs + kPeakHoldMs;
  }
  const std::int32_t clips = meter_.Clips();
  if (clips != clipsSeen_) {
    clipsSeen_ = clips;
    clipUntilMs_ = nowMs + kClipHoldMs;
  }
  clipLit_ = nowMs < clipUntilMs_;
}

}  // namespace fw
