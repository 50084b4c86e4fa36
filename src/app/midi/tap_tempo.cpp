#include "app/midi/tap_tempo.h"

namespace fw {

std::optional<double> TapTempo::Tap(std::int64_t nowMs) {
  if (count_ > 0 && nowMs - taps_[static_cast<std::size_t>(count_ - 1)] > kPauseMs) count_ = 0;
  if (count_ == kTapsKept) {
    for (int i = 1; i < kTapsKept; ++i)
      taps_[static_cast<std::size_t>(i - 1)] = taps_[static_cast<std::size_t>(i)];
    --count_;
  }
  taps_[static_cast<std::size_t>(count_++)] = nowMs;
  if (count_ < 2) return std::nullopt;
  return static_cast<double>(nowMs - taps_[0]) / (count_ - 1);
}

}  // namespace fw
